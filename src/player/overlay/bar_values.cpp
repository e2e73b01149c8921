#include "player/overlay/bar_values.h"

#include <algorithm>
#include <limits>

#include "project/ini/values.h"

namespace vyr {

namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<std::string> SplitValueList(std::string_view text) {
  std::vector<std::string> parts;
  if (Trim(text).empty()) return parts;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '"') quoted = !quoted;
    if (i == text.size() || (text[i] == ',' && !quoted)) {
      parts.emplace_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  return parts;
}

int ValueListInt(std::string_view part, int fallback) {
  int32_t value = 0;
  return ParseInt32(Trim(part), value) ? value : fallback;
}

TRectValue ParseRectValue(std::string_view text) {
  const std::vector<std::string> parts = SplitValueList(text);
  TRectValue result;
  result.parts = static_cast<int>(parts.size());
  if (parts.size() != 4) return result;
  const int x = ValueListInt(parts[0], 0), y = ValueListInt(parts[1], 0);
  const int w = ValueListInt(parts[2], 0), h = ValueListInt(parts[3], 0);
  // Sums that would overflow are cut to the int range; sizes stay as the text gives them.
  auto add = [](int a, int b) {
    const long long s = static_cast<long long>(a) + b;
    return static_cast<int>(
        std::clamp<long long>(s, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  };
  result.rect = TRect{x, y, add(x, w), add(y, h)};
  return result;
}

TPoint ParseSizeValue(std::string_view text) {
  const std::vector<std::string> parts = SplitValueList(text);
  if (parts.size() != 2) return {};
  int32_t w = 0, h = 0;
  if (!ParseInt32(parts[0], w) || !ParseInt32(parts[1], h)) return {};
  return {w, h};
}

}  // namespace vyr

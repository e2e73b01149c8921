#include "foundation/case_fold.h"

#include <algorithm>
#include <iterator>

#include "foundation/utf.h"

namespace vyr {

namespace {
struct FoldPair {
  char32_t code;
  char32_t folded;
};

constexpr FoldPair kFoldTable[] = {
#include "foundation/case_fold_table.inc"
};

// Next folded code point of a UTF-8 name; ASCII takes the short road.
inline char32_t NextFolded(std::string_view text, size_t& pos) {
  const auto c = static_cast<unsigned char>(text[pos]);
  if (c < 0x80) {
    ++pos;
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  }
  return FoldCase(NextCodePoint(text, pos));
}
}  // namespace

char32_t FoldCase(char32_t codePoint) {
  if (codePoint < 0x80) return (codePoint >= 'A' && codePoint <= 'Z') ? codePoint + 32 : codePoint;
  const auto* end = std::end(kFoldTable);
  const auto* it = std::lower_bound(std::begin(kFoldTable), end, codePoint,
                                    [](const FoldPair& p, char32_t v) { return p.code < v; });
  return (it != end && it->code == codePoint) ? it->folded : codePoint;
}

std::string FoldCaseUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) AppendUtf8(out, NextFolded(text, pos));
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (NextFolded(a, i) != NextFolded(b, j)) return false;
  }
  return i == a.size() && j == b.size();
}

uint32_t NameHash(std::string_view name) {
  uint32_t h = 2166136261u;  // FNV-1a over folded code points
  size_t pos = 0;
  while (pos < name.size()) {
    h = (h ^ static_cast<uint32_t>(NextFolded(name, pos))) * 16777619u;
  }
  return h;
}

}  // namespace vyr

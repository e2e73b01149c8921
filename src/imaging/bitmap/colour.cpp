#include "imaging/bitmap/colour.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace vyr {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// A decimal number, or "#" and hexadecimal digits.
bool ParseNumber(std::string_view s, int64_t& value) {
  s = Trim(s);
  int base = 10;
  if (!s.empty() && s.front() == '#') {
    s.remove_prefix(1);
    base = 16;
  }
  if (s.empty()) return false;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  return error == std::errc() && end == s.data() + s.size();
}

uint8_t Clamp255(int64_t v) { return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255)); }

}  // namespace

uint32_t ParseColor(std::string_view text, uint32_t defaultColor) {
  std::vector<std::string_view> items;
  for (size_t start = 0;;) {
    const size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  int64_t v[4] = {0, 0, 0, 255};
  if (items.size() == 1 || items.size() == 2) {
    const std::string_view first = Trim(items[0]);
    int64_t value;
    if (!ParseNumber(first, value)) return defaultColor;
    if (items.size() == 2 && !ParseNumber(items[1], v[3])) return defaultColor;
    const auto rgb = static_cast<uint32_t>(value);
    if (first.front() == '#') return (rgb & 0xFFFFFF) | uint32_t{Clamp255(v[3])} << 24;
    // A Windows colour number: red in the low byte.
    return PackColor(static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                     static_cast<uint8_t>(rgb >> 16), Clamp255(v[3]));
  }
  if (items.size() == 3 || items.size() == 4) {
    for (size_t i = 0; i < items.size(); ++i)
      if (!ParseNumber(items[i], v[i])) return defaultColor;
    return PackColor(Clamp255(v[0]), Clamp255(v[1]), Clamp255(v[2]), Clamp255(v[3]));
  }
  return defaultColor;
}

uint32_t AverageColor(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= ((((a >> shift) & 255) + ((b >> shift) & 255)) >> 1) << shift;
  return out;
}

uint32_t MixColor(uint32_t a, uint32_t b, double factor) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = (a >> shift) & 255, cb = (b >> shift) & 255;
    out |= uint32_t{Clamp255(std::lround(ca + (cb - ca) * factor))} << shift;
  }
  return out;
}

uint32_t BlendOver(uint32_t color, uint32_t pixel) {
  const int a = ColorA(color), b = ColorA(pixel);
  if (a == 0) return pixel;
  if (a == 255 || b == 0) return color;
  uint32_t out = 0;
  if (b == 255) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int c = (color >> shift) & 255, p = (pixel >> shift) & 255;
      out |= static_cast<uint32_t>((p + ((a * (c - p)) >> 8)) & 255) << shift;
    }
    return out | 0xFF000000u;
  }
  const int f = a + b - ((a * b) >> 8);
  const int scale = 65536 / f;
  for (int shift = 0; shift < 24; shift += 8) {
    const int c = (color >> shift) & 255, p = (pixel >> shift) & 255;
    const int v = (scale * (b * p + a * (c - b * p / 256))) >> 16;
    out |= uint32_t{Clamp255(v)} << shift;
  }
  return out | uint32_t{Clamp255(std::min(f, 255))} << 24;
}

}  // namespace vyr

#pragma once
// Colour values 0xAARRGGBB: the text form of project keys, packing and blending.

#include <cstdint>
#include <string_view>

namespace vyr {

// "#RRGGBB[,alpha]", "windowsColour[,alpha]" (0x00BBGGRR) or "r,g,b[,a]"; any other form
// gives the default.
uint32_t ParseColor(std::string_view text, uint32_t defaultColor);

constexpr uint32_t PackColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
}
constexpr uint8_t ColorR(uint32_t c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t ColorG(uint32_t c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t ColorB(uint32_t c) { return static_cast<uint8_t>(c); }
constexpr uint8_t ColorA(uint32_t c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint32_t WithAlpha(uint32_t c, uint8_t a) { return (c & 0xFFFFFF) | uint32_t{a} << 24; }

// Per channel (a + b) >> 1.
uint32_t AverageColor(uint32_t a, uint32_t b);
// Per channel a + (b - a) * factor, rounded; factor 0 gives a, 1 gives b.
uint32_t MixColor(uint32_t a, uint32_t b, double factor);
// A colour with its alpha drawn over a pixel with its own alpha.
uint32_t BlendOver(uint32_t color, uint32_t pixel);

inline bool SameColor(uint32_t a, uint32_t b) { return a == b; }
inline bool SameColorIgnoringAlpha(uint32_t a, uint32_t b) { return ((a ^ b) & 0xFFFFFF) == 0; }

}  // namespace vyr

#include "render/compose/draw_colour.h"

#include <algorithm>
#include <cmath>

namespace vyr {

uint8_t OpacityAlpha(float percent) {
  return static_cast<uint8_t>(std::clamp(std::lround(percent * 2.55f), 0L, 255L));
}

uint32_t WithOpacity(uint32_t argb, float percent) {
  const uint32_t alpha = ((argb >> 24) * OpacityAlpha(percent) + 127) / 255;
  return (argb & 0x00FFFFFF) | (alpha << 24);
}

uint32_t Premultiplied(uint32_t argb) {
  const uint32_t a = argb >> 24;
  auto channel = [a](uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
         channel(argb & 0xFF);
}

uint32_t MidColour(uint32_t a, uint32_t b) {
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8)
    result |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + 1) / 2) << shift;
  return result;
}

// The diagonal gradients are linear, so their two other corners take the middle colour.
void BoxCornerColours(const TBoxDrawParams& params, uint32_t (&colours)[4]) {
  const uint32_t c1 = WithOpacity(params.color1, params.opacity);
  const uint32_t c2 = WithOpacity(params.color2, params.opacity);
  const uint32_t mid = MidColour(c1, c2);
  switch (params.fill) {
    case TBoxFill::Solid:
      colours[0] = colours[1] = colours[2] = colours[3] = c1;
      break;
    case TBoxFill::HGradient:
      colours[0] = colours[2] = c1;
      colours[1] = colours[3] = c2;
      break;
    case TBoxFill::VGradient:
      colours[0] = colours[1] = c1;
      colours[2] = colours[3] = c2;
      break;
    case TBoxFill::TLBRGradient:
      colours[0] = c1;
      colours[3] = c2;
      colours[1] = colours[2] = mid;
      break;
    case TBoxFill::TRBLGradient:
      colours[1] = c1;
      colours[2] = c2;
      colours[0] = colours[3] = mid;
      break;
  }
}

}  // namespace vyr

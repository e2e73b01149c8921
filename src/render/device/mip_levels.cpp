#include "render/device/mip_levels.h"

#include <algorithm>
#include <cstring>

namespace vyr {
namespace {

uint16_t Average565(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
  auto channel = [&](int shift, int mask) {
    const int sum = ((a >> shift) & mask) + ((b >> shift) & mask) + ((c >> shift) & mask) +
                    ((d >> shift) & mask);
    return ((sum + 2) / 4) << shift;
  };
  return static_cast<uint16_t>(channel(11, 31) | channel(5, 63) | channel(0, 31));
}

}  // namespace

TPixelLevel HalveLevel(const TPixelLevel& source, TSurfaceFormat format) {
  TPixelLevel result;
  result.width = std::max(1, source.width / 2);
  result.height = std::max(1, source.height / 2);
  const int bpp = BytesPerPixel(format);
  result.pitch = result.width * bpp;
  result.bits.resize(static_cast<size_t>(result.pitch) * static_cast<size_t>(result.height));
  for (int y = 0; y < result.height; ++y) {
    const uint8_t* row0 = source.bits.data() + static_cast<size_t>(2 * y) * source.pitch;
    const uint8_t* row1 =
        source.bits.data() +
        static_cast<size_t>(std::min(2 * y + 1, source.height - 1)) * source.pitch;
    uint8_t* out = result.bits.data() + static_cast<size_t>(y) * result.pitch;
    for (int x = 0; x < result.width; ++x) {
      const int x0 = 2 * x * bpp, x1 = std::min(2 * x + 1, source.width - 1) * bpp;
      if (bpp == 2) {
        uint16_t p[4];
        std::memcpy(&p[0], row0 + x0, 2);
        std::memcpy(&p[1], row0 + x1, 2);
        std::memcpy(&p[2], row1 + x0, 2);
        std::memcpy(&p[3], row1 + x1, 2);
        const uint16_t v = Average565(p[0], p[1], p[2], p[3]);
        std::memcpy(out + x * 2, &v, 2);
        continue;
      }
      for (int k = 0; k < bpp; ++k)
        out[x * bpp + k] = static_cast<uint8_t>(
            (row0[x0 + k] + row0[x1 + k] + row1[x0 + k] + row1[x1 + k] + 2) / 4);
    }
  }
  return result;
}

}  // namespace vyr

#include "scene/host/grey_mask.h"

#include <cstring>
#include <vector>

#include "imaging/bitmap/pixel_converter.h"
#include "imaging/bitmap/pixel_format.h"

namespace vyr {

TRef<TDirectBitmap> MakeGreyMask(const TBitmap& picture) {
  const int32_t w = picture.Width(), h = picture.Height();
  auto mask = MakeRef<TDirectBitmap>(w, h, pf::R8G8B8());
  const TPixelConverter* toArgb = GetPixelConverter(picture.Format(), pf::A8R8G8B8());
  std::vector<uint8_t> argb(static_cast<size_t>(w) * 4);
  for (int32_t y = 0; y < h; ++y) {
    toArgb->Convert(argb.data(), picture.Row(y), w);
    uint8_t* out = mask->Row(y);
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = &argb[static_cast<size_t>(x) * 4];  // B, G, R, A
      const uint32_t luma = 299u * p[2] + 587u * p[1] + 114u * p[0];
      const uint32_t grey = (luma * p[3] + 127500) / 255000;
      std::memset(out + 3 * x, static_cast<int>(grey), 3);
    }
  }
  return mask;
}

}  // namespace vyr

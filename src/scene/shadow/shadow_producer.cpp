#include "scene/shadow/shadow_producer.h"

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/colour.h"

namespace vyr {

TRef<TBitmap> ColourMask(const TBitmap& mask, uint32_t colour, const TGoOn& goOn) {
  const int32_t w = mask.Width(), h = mask.Height();
  TRef<TBitmap> out = CreateSysBitmap(w, h, pf::A8R8G8B8());
  const uint32_t colourAlpha = ColorA(colour);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* in = mask.Row(y);
    auto* px = reinterpret_cast<uint32_t*>(out->Row(y));
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t v = in[x];
      px[x] = v == 255 ? colour : WithAlpha(colour, static_cast<uint8_t>(v * colourAlpha / 255));
    }
    if (goOn && !goOn()) break;
  }
  return out;
}

TRef<TBitmap> TShadowProducer::Produce(const TBitmap& silhouette) {
  dropShadow_.SetBlur(blur_);
  TRef<TBitmap> mask = dropShadow_.Blur(silhouette);
  return ColourMask(*mask, colour_, goOn_);
}

}  // namespace vyr

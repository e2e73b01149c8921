#pragma once
// Turns a silhouette into the shadow picture: the blurred, spread mask becomes the alpha of
// one colour (not premultiplied).

#include <cstdint>

#include "imaging/bitmap/bitmap.h"
#include "scene/shadow/drop_shadow.h"

namespace vyr {

// 0 -> the colour with alpha 0; 255 -> the colour; v -> alpha v x colour alpha / 255.
TRef<TBitmap> ColourMask(const TBitmap& mask, uint32_t colour, const TGoOn& goOn);

class TShadowProducer {
 public:
  explicit TShadowProducer(TGoOn goOn = {}) : goOn_(goOn), dropShadow_(std::move(goOn)) {}

  void SetBlur(float blur) { blur_ = blur; }
  void SetColour(uint32_t colour) { colour_ = colour; }
  void SetSpread(int presetIndex) { dropShadow_.SetSpread(presetIndex); }

  // A 32-bit "A8R8G8B8" bitmap larger than the silhouette by the blur border on every side.
  TRef<TBitmap> Produce(const TBitmap& silhouette);
  const TDropShadow& DropShadow() const { return dropShadow_; }

 private:
  TGoOn goOn_;
  TDropShadow dropShadow_;
  float blur_ = 0;
  uint32_t colour_ = 0xFFFFFFFF;
};

}  // namespace vyr

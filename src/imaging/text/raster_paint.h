#pragma once
// The span consumer that paints coverage into an "A8R8G8B8" bitmap with a colour or a
// gradient, blended over the pixels.

#include <array>
#include <cstdint>
#include <memory>

#include "imaging/bitmap/bitmap.h"
#include "imaging/text/rasterizer.h"

namespace vyr {

// A linear gradient: a pixel's offset from the origin, projected onto the direction and
// scaled, indexes the colour table (clamped to 0..1024).
struct TGradient {
  float originX = 0, originY = 0;
  float directionX = 1, directionY = 0;
  float scale = 1;
  std::array<uint32_t, 1025> colors{};
};

// Coverage 256 blends the colour over the pixel; less scales its alpha by coverage / 256.
uint32_t PaintCoverage(uint32_t color, int coverage, uint32_t pixel);

class TPaintSpanConsumer : public TSpanConsumer {
 public:
  // clip: first column and row inclusive, last exclusive (already inside the target).
  TPaintSpanConsumer(TBitmap& target, TRect clip, uint32_t color,
                     const TGradient* gradient = nullptr)
      : target_(target), clip_(clip), color_(color), gradient_(gradient) {}
  void Span(int32_t row, int32_t left, int32_t right, const int16_t* cells) override;

 private:
  uint32_t GradientColor(int32_t x, int32_t y) const;

  TBitmap& target_;
  TRect clip_;
  uint32_t color_;
  const TGradient* gradient_;
};

}  // namespace vyr

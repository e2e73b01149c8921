#include "imaging/text/raster_paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/bitmap/colour.h"

namespace vyr {

uint32_t PaintCoverage(uint32_t color, int coverage, uint32_t pixel) {
  if (coverage <= 0) return pixel;
  if (coverage >= 256) return BlendOver(color, pixel);
  const uint32_t alpha = (static_cast<uint32_t>(coverage) * ColorA(color)) >> 8;
  return BlendOver(WithAlpha(color, static_cast<uint8_t>(alpha)), pixel);
}

uint32_t TPaintSpanConsumer::GradientColor(int32_t x, int32_t y) const {
  const float dx = static_cast<float>(x) - gradient_->originX;
  const float dy = static_cast<float>(y) - gradient_->originY;
  const float t = (dx * gradient_->directionX + dy * gradient_->directionY) * gradient_->scale;
  const float index = std::isfinite(t) ? std::clamp(t, 0.0f, 1024.0f) : 0.0f;
  return gradient_->colors[static_cast<size_t>(index)];
}

void TPaintSpanConsumer::Span(int32_t row, int32_t left, int32_t right, const int16_t* cells) {
  if (row < clip_.top || row >= clip_.bottom) return;
  uint8_t* line = target_.Row(row);
  const int32_t first = std::max(left, clip_.left), end = std::min(right, clip_.right);
  if (!gradient_ && ColorA(color_) == 255) {
    // An opaque colour covers a fully covered pixel whatever was there, as blending it would.
    for (int32_t x = first; x < end; ++x) {
      const int coverage = cells[x];
      if (coverage <= 0) continue;
      uint8_t* at = line + size_t(x) * 4;
      uint32_t pixel = color_;
      if (coverage < 256) {
        std::memcpy(&pixel, at, 4);
        pixel = PaintCoverage(color_, coverage, pixel);
      }
      std::memcpy(at, &pixel, 4);
    }
    return;
  }
  for (int32_t x = first; x < end; ++x) {
    const int coverage = cells[x];
    if (coverage <= 0) continue;
    uint32_t pixel;
    std::memcpy(&pixel, line + size_t(x) * 4, 4);
    pixel = PaintCoverage(gradient_ ? GradientColor(x, row) : color_, coverage, pixel);
    std::memcpy(line + size_t(x) * 4, &pixel, 4);
  }
}

}  // namespace vyr

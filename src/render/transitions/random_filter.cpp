#include "render/transitions/random_filter.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vyr {
namespace {

// x := x * 1664525 + 1013904223 (32-bit); the low 23 bits become the mantissa of a float
// in [1, 2), minus 1.
float NextUniform(uint32_t& x) {
  x = x * 1664525u + 1013904223u;
  return std::bit_cast<float>(0x3F800000u | (x & 0x7FFFFFu)) - 1.0f;
}

}  // namespace

TRandomFilter::TRandomFilter(int columns, int rows, int32_t seed, float appearance)
    : columns_(std::clamp(columns, 1, kMaxCells)),
      rows_(std::clamp(rows, 1, kMaxCells)),
      seed_(seed),
      // Negative or huge spreads would overflow the delay table.
      appearance_(std::clamp(appearance, 0.0f, 1000.0f)) {}

void TRandomFilter::Init(const TIntRect& rect, float smoothing, float duration) {
  TDrawFilter::Init(rect, smoothing, duration);
  const double spread = std::round(static_cast<double>(appearance_) * 100);
  uint32_t x = static_cast<uint32_t>(seed_);
  delays_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(rows_));
  for (int& delay : delays_) delay = static_cast<int>(std::trunc(NextUniform(x) * spread));
}

void TRandomFilter::Draw(TEffController& renderer) {
  renderer.SetKeepOrder(false);  // cells never overlap
  const int d = static_cast<int>(
      std::trunc(Progress() * (static_cast<double>(appearance_) * 100 + 256) - 256));
  const float w = static_cast<float>(rect_.Width()) / static_cast<float>(columns_);
  const float h = static_cast<float>(rect_.Height()) / static_cast<float>(rows_);
  for (int row = 0; row < rows_; ++row)
    for (int column = 0; column < columns_; ++column) {
      const int e = delays_[static_cast<size_t>(row * columns_ + column)] - d;
      if (e >= 255) continue;
      const float alpha = e < 0 ? 255.0f : static_cast<float>(255 - e);
      const float l = static_cast<float>(rect_.left) + w * static_cast<float>(column);
      const float t = static_cast<float>(rect_.top) + h * static_cast<float>(row);
      renderer.AddQuad(FlatVertex(l, t, alpha), FlatVertex(l + w, t, alpha),
                       FlatVertex(l, t + h, alpha), FlatVertex(l + w, t + h, alpha));
    }
}

}  // namespace vyr

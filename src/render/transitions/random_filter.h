#pragma once
// Random tiles (`TRandomFilter`, the mosaic): the rectangle is divided evenly into
// columns x rows cells; each fades in over 255 units starting at its own random delay.

#include <cstdint>
#include <vector>

#include "render/transitions/draw_filter.h"

namespace vyr {

class TRandomFilter : public TDrawFilter {
 public:
  // Columns and rows are kept within 1..kMaxCells, the appearance within 0..1000.
  TRandomFilter(int columns, int rows, int32_t seed, float appearance);
  void Init(const TIntRect& rect, float smoothing, float duration) override;
  void Draw(TEffController& renderer) override;

  static constexpr int kMaxCells = 512;
  const std::vector<int>& Delays() const { return delays_; }

 private:
  int columns_, rows_;
  int32_t seed_;
  float appearance_;
  std::vector<int> delays_;  // row by row
};

}  // namespace vyr

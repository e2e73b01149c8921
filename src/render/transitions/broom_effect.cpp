#include "render/transitions/broom_effect.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vyr {
namespace {

// Pivots as fractions of the rectangle, with the outward direction.
struct TPivot {
  float fx, fy, outX, outY;
};
constexpr std::array<TPivot, 8> kPivots{{{0.5f, 0, 0, -1},
                                         {1, 0.5f, 1, 0},
                                         {0.5f, 1, 0, 1},
                                         {0, 0.5f, -1, 0},
                                         {1, 0, 1, -1},
                                         {1, 1, 1, 1},
                                         {0, 1, -1, 1},
                                         {0, 0, -1, -1}}};

}  // namespace

void TBroomEffect::Place() {
  const int pivot = std::clamp((kind_ - 1) % 8 + 1, 1, 8);
  const bool counter = kind_ > 8;
  const TPivot& p = kPivots[static_cast<size_t>(pivot - 1)];
  const float outLength = std::hypot(p.outX, p.outY);
  const float width = std::max(sweepWidth_, 0.0f);
  pivotX_ = static_cast<float>(rect_.left) + p.fx * static_cast<float>(rect_.Width()) +
            p.outX / outLength * width;
  pivotY_ = static_cast<float>(rect_.top) + p.fy * static_cast<float>(rect_.Height()) +
            p.outY / outLength * width;
  // The corners' angles about the inward direction: the sweep runs from the smallest to
  // the largest, so it covers exactly the rectangle.
  const double inward = std::atan2(-p.outY, -p.outX);
  double low = 0, high = 0;
  for (int x : {rect_.left, rect_.right})
    for (int y : {rect_.top, rect_.bottom}) {
      const double dx = x - pivotX_, dy = y - pivotY_;
      if (std::hypot(dx, dy) < 0.5) continue;  // the pivot itself
      const double a = std::remainder(std::atan2(dy, dx) - inward, 2 * std::numbers::pi);
      low = std::min(low, a);
      high = std::max(high, a);
    }
  start_ = inward + (counter ? high : low);
  sweep_ = counter ? low - high : high - low;
}

}  // namespace vyr

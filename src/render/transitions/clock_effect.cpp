#include "render/transitions/clock_effect.h"

#include <numbers>

namespace vyr {

void TClockEffect::Place() {
  pivotX_ = static_cast<float>(rect_.left) + cx_ * static_cast<float>(rect_.Width());
  pivotY_ = static_cast<float>(rect_.top) + cy_ * static_cast<float>(rect_.Height());
  start_ = -std::numbers::pi / 2;  // twelve o'clock
  sweep_ = (clockwise_ ? 2 : -2) * std::numbers::pi;
}

}  // namespace vyr

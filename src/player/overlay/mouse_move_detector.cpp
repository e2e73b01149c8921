#include "player/overlay/mouse_move_detector.h"

#include <cstdlib>

namespace vyr {

bool TMouseMoveDetector::See(int x, int y, int64_t now) {
  if (events_++ == 0) {
    lastX_ = x;
    lastY_ = y;
    return false;
  }
  const int64_t distance = std::llabs(int64_t{x} - lastX_) + std::llabs(int64_t{y} - lastY_);
  if (distance < 6) return false;
  lastX_ = x;
  lastY_ = y;
  lastMove_ = now;
  return true;
}

bool TMouseMoveDetector::Idle(int64_t now) {
  if (restamp_) {
    lastMove_ = now;
    restamp_ = false;
  }
  return now - lastMove_ > interval_;
}

}  // namespace vyr

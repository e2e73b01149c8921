#pragma once
// `TMouseMoveDetector`: whether the pointer has rested for an interval. A position counts
// as a movement when it lies at least 6 pixels (|dx| + |dy|) from the last recorded one.

#include <cstdint>

namespace vyr {

class TMouseMoveDetector {
 public:
  void SetInterval(int64_t ms) { interval_ = ms; }
  int64_t Interval() const { return interval_; }
  // Returns whether the position counted as a movement.
  bool See(int x, int y, int64_t now);
  // More than the interval passed since the last movement (a pending restamp first makes
  // now the last movement).
  bool Idle(int64_t now);
  void ArmIdle(int64_t now) { lastMove_ = now - interval_ - 1; }
  void Restamp() { restamp_ = true; }

 private:
  int64_t events_ = 0;
  int lastX_ = 0, lastY_ = 0;
  int64_t lastMove_ = 0;
  int64_t interval_ = 0;
  bool restamp_ = false;
};

}  // namespace vyr

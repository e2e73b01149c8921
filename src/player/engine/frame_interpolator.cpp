#include "player/engine/frame_interpolator.h"

namespace vyr {

double TFrameInterpolator::Step(double x) {
  if (bypass_ || warmUp_ > 0) {
    if (!bypass_) --warmUp_;
    output_ = x;
  } else {
    ++stepCount_;
    if (stepCount_ > kRing) stepSum_ -= steps_[ringIndex_];
    const double d = x - lastInput_;
    stepSum_ += d;
    steps_[ringIndex_] = d;
    ringIndex_ = (ringIndex_ + 1) % kRing;
    if (stepCount_ <= kRing) {
      output_ = x;
    } else {
      const double predicted = output_ + stepSum_ / kRing;
      output_ = predicted + (x - predicted) / 6;
    }
  }
  lastInput_ = x;
  if (endBypassAfterNext_) {
    endBypassAfterNext_ = false;
    bypass_ = false;
  }
  return output_;
}

void TFrameInterpolator::SetBypass(bool on) {
  if (on) {
    bypass_ = true;
    endBypassAfterNext_ = false;
  } else if (bypass_) {
    endBypassAfterNext_ = true;
  }
}

}  // namespace vyr

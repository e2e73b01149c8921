#pragma once
// Smooths the music clock for the frames: a 32-step moving average of the input's steps
// predicts the next time, and the output moves a sixth of the way to the real input.

#include <array>

namespace vyr {

class TFrameInterpolator {
 public:
  static constexpr int kRing = 32;
  static constexpr int kWarmUp = 16;

  // One step with the raw show time x (ms); the smoothed time.
  double Step(double x);
  // On: the input passes through unchanged. Off: the first step after it still passes
  // through, then smoothing resumes.
  void SetBypass(bool on);
  bool Bypass() const { return bypass_; }
  double Output() const { return output_; }

 private:
  double output_ = 0;
  int warmUp_ = kWarmUp;
  double lastInput_ = 0;
  std::array<double, kRing> steps_{};
  int stepCount_ = 0;
  int ringIndex_ = 0;
  double stepSum_ = 0;
  bool bypass_ = false;
  bool endBypassAfterNext_ = false;
};

}  // namespace vyr

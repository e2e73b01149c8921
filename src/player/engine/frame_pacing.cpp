#include "player/engine/frame_pacing.h"

#include <cstdio>

namespace vyr {

void TFramePacing::Step(double nowMs, bool drew, bool playing) {
  const bool counted = drew && playing;
  if (counted) {
    ++frames_;
    if (lastStepDrew_) {
      const double interval = nowMs - lastFrameMs_;
      ++intervals_;
      intervalSumMs_ += interval;
      if (interval > 1.5 * targetMs_) ++late_;
    }
    lastFrameMs_ = nowMs;
  }
  lastStepDrew_ = counted;
}

double TFramePacing::FramesPerSecond() const {
  return intervalSumMs_ > 0 ? static_cast<double>(intervals_) * 1000.0 / intervalSumMs_ : 0;
}

std::string TFramePacing::Summary() const {
  if (frames_ == 0) return {};
  char text[200];
  std::snprintf(text, sizeof text,
                "Frames while playing: %lld drawn, %.1f per second, %lld of %lld intervals "
                "longer than %.0f ms",
                static_cast<long long>(frames_), FramesPerSecond(), static_cast<long long>(late_),
                static_cast<long long>(intervals_), 1.5 * targetMs_);
  return text;
}

}  // namespace vyr

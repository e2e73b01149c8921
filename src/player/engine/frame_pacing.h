#pragma once
// How evenly frames come while the show plays: the intervals between frames drawn in
// consecutive steps of the engine's loop, and how many of them are late (longer than one and a
// half target intervals). A step that draws nothing (nothing changed) ends a run of frames, so
// the gaps of a still picture never count as late frames.

#include <cstdint>
#include <string>

namespace vyr {

class TFramePacing {
 public:
  // The target interval of the display (16.7 ms at 60 Hz).
  explicit TFramePacing(double targetMs = 1000.0 / 60.0) : targetMs_(targetMs) {}

  // One loop step at nowMs (a monotonic clock): drew tells whether it drew a frame, playing
  // whether the show was running then. Frames of a paused show are not counted.
  void Step(double nowMs, bool drew, bool playing);

  int64_t Frames() const { return frames_; }
  int64_t Intervals() const { return intervals_; }
  int64_t Late() const { return late_; }
  // Frames per second over the counted intervals; 0 without any.
  double FramesPerSecond() const;
  // The summary the log gets when the engine stops; empty when no frame was counted.
  std::string Summary() const;

 private:
  double targetMs_;
  double lastFrameMs_ = 0;
  bool lastStepDrew_ = false;
  int64_t frames_ = 0, intervals_ = 0, late_ = 0;
  double intervalSumMs_ = 0;
};

}  // namespace vyr

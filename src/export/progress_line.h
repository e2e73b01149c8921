#pragma once
// The progress of an export as one terminal line rewritten in place: percent, frames,
// frames per second and the time left.

#include <cstdint>
#include <string>

namespace vyr::exporting {

// elapsed: seconds since the first frame was asked for.
std::string ProgressText(int64_t done, int64_t total, double elapsed);

class TProgressLine {
 public:
  // enabled: standard error is a terminal and --quiet was not given.
  explicit TProgressLine(bool enabled) : enabled_(enabled) {}
  // Rewrites the line at most ten times a second, and always for the last frame.
  void Update(int64_t done, int64_t total, double elapsed);
  // Ends the line so that what follows starts on a fresh one.
  void Finish();

 private:
  bool enabled_;
  bool shown_ = false;
  double lastShown_ = -1;
};

}  // namespace vyr::exporting

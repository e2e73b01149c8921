#pragma once
// Which slides are visible at a show time: the slide shown and, while a transition runs, the
// one coming in. Absolute indexes continue past the slide count into repetitions of the show;
// -1 is the blank slide before the first.

#include <functional>

#include "project/slide_timing.h"

namespace vyr {

struct TSlideWindow {
  int first = 0;
  int last = 0;
};

class TSlideWindowSearch {
 public:
  using TTimingOf = std::function<TSlideTiming(int absoluteIndex)>;

  // showLength and slideCount let a far seek jump whole passes instead of walking them.
  TSlideWindowSearch(TTimingOf timingOf, double showLength, int slideCount);

  // Starts from where the previous search ended, so a playing show moves one step at a time.
  TSlideWindow Search(double time);
  int ScanPosition() const { return scan_; }

 private:
  TTimingOf timingOf_;
  double showLength_;
  int slideCount_;
  int scan_ = 0;
};

}  // namespace vyr

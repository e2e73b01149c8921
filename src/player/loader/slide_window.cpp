#include "player/loader/slide_window.h"

#include <climits>
#include <cmath>

namespace vyr {

namespace {

double WholeMs(double ms) { return std::nearbyint(ms); }

}  // namespace

TSlideWindowSearch::TSlideWindowSearch(TTimingOf timingOf, double showLength, int slideCount)
    : timingOf_(std::move(timingOf)), showLength_(showLength), slideCount_(slideCount) {}

TSlideWindow TSlideWindowSearch::Search(double time) {
  if (std::isnan(time)) time = 0;
  const double t = WholeMs(time);
  int r = scan_;
  // The blank slide -1 lies below every time; nothing before it is ever shown.
  while (r > -1 && WholeMs(timingOf_(r - 1).visibleEnd) > t) --r;
  if (slideCount_ > 0 && showLength_ > 0) {
    while (WholeMs(timingOf_(r).visibleEnd) < t) {
      // Far ahead: skip whole passes (each shifts every record by the show length) but stay
      // at least one pass short, so the walk below still ends on the right record.
      const double behind = t - timingOf_(r).visibleEnd;
      const double passes = std::floor(behind / showLength_) - 1;
      if (r >= 0 && passes >= 1) {
        const double limit = static_cast<double>(INT_MAX / 2 - r) / slideCount_;
        r += static_cast<int>(std::min(passes, limit)) * slideCount_;
        if (passes >= limit) break;
        continue;
      }
      ++r;
    }
  } else {
    // A show without length: every later record ends at the same time, so stop at the last.
    while (r < slideCount_ - 1 && WholeMs(timingOf_(r).visibleEnd) < t) ++r;
  }
  scan_ = r;
  TSlideWindow window{r, r};
  const TSlideTiming next = timingOf_(r + 1);
  if (next.start <= time && next.visibleEnd >= time) window.last = r + 1;
  return window;
}

}  // namespace vyr

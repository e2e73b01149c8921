#include "viewer/actions/slide_positions.h"

#include <climits>
#include <cmath>

namespace vyr {
namespace {

int32_t Rounded(double value) { return static_cast<int32_t>(std::lround(value)); }

TSlideTiming TimingOf(const TVyrSource& source, int index) { return source.Timing(index).timing; }

}  // namespace

int32_t SlideStartPosition(const TVyrSource& source, int k) {
  const TSlideTiming timing = TimingOf(source, k);
  const int32_t start = Rounded(timing.start);
  const bool showEnd = k == source.SlideCount() && !source.Repeats();
  return timing.in == 0 && !showEnd ? start + 1 : start;
}

int32_t NextSlidePosition(const TVyrSource& source, double t, bool paused) {
  const int count = source.SlideCount();
  const int last = source.Repeats() ? INT_MAX - 1 : count - 1;
  int i = std::min(source.SlideAt(t), last);
  int32_t c = 0;
  do {
    ++i;
    c = Rounded(TimingOf(source, i).start);
  } while (c <= t && i < last);
  const TSlideTiming timing = TimingOf(source, i);
  if (timing.in > 0 || (i == count && !source.Repeats()))
    return paused ? c + Rounded(timing.in) : c;
  return c + 1;
}

int32_t PreviousSlidePosition(const TVyrSource& source, double t) {
  int b = source.SlideAt(t);
  if (t < TimingOf(source, b).end) {
    if (b < 2) return 0;
    --b;
  }
  const TSlideTiming timing = TimingOf(source, b);
  const int32_t r = Rounded(timing.start + timing.in);
  if (t - r >= 500) return r;
  if (b == 1) return 0;
  const TSlideTiming before = TimingOf(source, b - 1);
  return Rounded(before.start + before.in);
}

int SlideIndexById(const TVyrSource& source, std::string_view id) {
  for (int i = 0; i < source.SlideCount(); ++i)
    if (source.SlideId(i) == id) return i;
  return -1;
}

}  // namespace vyr

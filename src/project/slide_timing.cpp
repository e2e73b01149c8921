#include "project/slide_timing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "foundation/exceptions.h"
#include "foundation/log.h"

namespace vyr {

TSlideTable::TSlideTable(std::span<const int32_t> ends,
                         const std::function<double(int)>& transitionLength) {
  records_.reserve(ends.size());
  double prev = 0;
  double in = ends.empty() ? 0 : transitionLength(0);
  for (size_t i = 0; i < ends.size(); ++i) {
    const double e = ends[i];
    if (e < prev) {
      WriteLine("Incorrect time at slide " + std::to_string(i + 1));
      VYR_ASSERT_MSG(false, "Incorrect time");
    }
    const double out = transitionLength(static_cast<int>(i) + 1);
    TSlideTiming record;
    record.start = prev;
    record.end = e;
    record.in = std::min(in, e - prev);
    record.out = out;
    record.visibleEnd = e + out;
    records_.push_back(record);
    length_ = e;
    prev = e;
    in = out;
  }
}

TSlideTimingAt TSlideTable::Timing(int index) const {
  TSlideTimingAt result;
  if (index < -1) {
    result.timing = {kFarPast, kBeforeShowStart, 0, 0, kBeforeShowStart};
    result.loop = -1;
    return result;
  }
  if (index == -1) {
    const double firstIn = records_.empty() ? 0 : records_.front().in;
    result.timing = {kBeforeShowStart, 0, 0, firstIn, firstIn};
    result.loop = -1;
    return result;
  }
  if (records_.empty()) return result;  // no slides: an empty span at 0
  const int n = Count();
  result.loop = index / n;
  result.timing = records_[index % n];
  if (result.loop > 0) {
    const double shift = result.loop * length_;
    result.timing.start += shift;
    result.timing.end += shift;
    result.timing.visibleEnd += shift;
  }
  return result;
}

double TSlideTable::EndIn(int64_t pass, int slide) const {
  const double end = records_[slide].end;
  return pass > 0 ? end + static_cast<double>(pass) * length_ : end;
}

int TSlideTable::SlideAt(double t) const {
  if (!(t > 0)) return -1;  // negative, zero and NaN times lie in the blank slide
  const int n = Count();
  constexpr int kLast = std::numeric_limits<int>::max();
  // Without a time line every later time lies past the show.
  if (n == 0 || !(length_ > 0)) return n;
  // The spans tile the time line; find the first slide whose end reaches t.
  const double passes = std::floor(t / length_);
  if (passes >= static_cast<double>(kLast / n)) return kLast;
  int64_t pass = static_cast<int64_t>(passes);
  while (pass > 0 && t <= EndIn(pass - 1, n - 1)) --pass;
  while (t > EndIn(pass, n - 1)) ++pass;
  int lo = 0;
  int hi = n - 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (EndIn(pass, mid) >= t)
      hi = mid;
    else
      lo = mid + 1;
  }
  const int64_t index = pass * n + lo;
  return index > kLast ? kLast : static_cast<int>(index);
}

}  // namespace vyr

#pragma once
// The show's time line: one timing record per slide, repeated pass after pass.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vyr {

// Milliseconds on the show's time line.
struct TSlideTiming {
  double start = 0;       // the incoming transition begins (the previous slide's end)
  double end = 0;         // the outgoing transition begins
  double in = 0;          // incoming transition length, at most end - start
  double out = 0;         // outgoing transition length (the next slide's incoming one)
  double visibleEnd = 0;  // end + out
};

struct TSlideTimingAt {
  TSlideTiming timing;
  int loop = 0;  // whole passes of the show before this slide
};

class TSlideTable {
 public:
  static constexpr double kBeforeShowStart = -1073741823;
  static constexpr double kFarPast = -2147483647;

  TSlideTable() = default;
  // ends[i] is the end of slide i; transitionLength(i) the incoming transition of slide i
  // (asked for i = 0 .. N, where N stands for what follows the last slide).
  // Ends that go backwards raise the assertion "Incorrect time".
  TSlideTable(std::span<const int32_t> ends, const std::function<double(int)>& transitionLength);

  int Count() const { return static_cast<int>(records_.size()); }
  // The end of the last slide.
  double Length() const { return length_; }
  const TSlideTiming& Record(int slide) const { return records_[slide]; }

  // Any index: later passes are shifted by whole show lengths; -1 is the blank slide
  // before the first, lower indexes lie further back.
  TSlideTimingAt Timing(int index) const;
  // The first index whose span start <= t <= end holds: a time on a boundary belongs to
  // the earlier slide, negative times give -1, times past the length later passes.
  int SlideAt(double t) const;

 private:
  // The end of slide j in pass k, as Timing computes it.
  double EndIn(int64_t pass, int slide) const;

  std::vector<TSlideTiming> records_;
  double length_ = 0;
};

}  // namespace vyr

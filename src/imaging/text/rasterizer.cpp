#include "imaging/text/rasterizer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace vyr {

// Crossings move little between sub-scan-lines: insertion sort, unless many are out of order.
void TRasterizer::SortActive(size_t outOfOrder) {
  if (outOfOrder == 0) return;
  if (outOfOrder >= 5) {
    std::stable_sort(active_.begin(), active_.end(),
                     [](const TActive& a, const TActive& b) { return a.x < b.x; });
    return;
  }
  for (size_t i = 1; i < active_.size(); ++i) {
    const TActive item = active_[i];
    size_t j = i;
    for (; j > 0 && active_[j - 1].x > item.x; --j) active_[j] = active_[j - 1];
    active_[j] = item;
  }
}

void TRasterizer::DropEnded(int64_t j) {
  size_t kept = 0;
  nextEnd_ = INT64_MAX;
  for (const TActive& a : active_) {
    if (j >= a.endY) continue;
    nextEnd_ = std::min<int64_t>(nextEnd_, a.endY);
    active_[kept++] = a;
  }
  active_.resize(kept);
}

// cells_ holds differences while a pixel row collects its sub-scan-lines: a span adds its
// partial first and last cells and marks where the run of full cells starts and stops, so its
// cost does not grow with its length. EmitRow turns the differences into coverage.
[[gnu::always_inline]] inline void TRasterizer::AddSpan(int64_t x1, int64_t x2) {
  x1 = std::max<int64_t>(x1, 0);  // coverage left of the target is clipped
  x2 = std::min<int64_t>(x2, limitX_);
  if (x1 >= x2) return;
  // Both ends lie in 0 .. limitX_ now: unsigned division is a shift.
  const auto first = static_cast<int32_t>(static_cast<uint64_t>(x1) / kSubPixels);
  const auto last = static_cast<int32_t>(static_cast<uint64_t>(x2 - 1) / kSubPixels);
  // An empty row's range is (INT32_MAX, INT32_MIN): the first span sets both ends.
  touchedLeft_ = std::min(touchedLeft_, first);
  touchedRight_ = std::max(touchedRight_, last + 1);
  // Coverage first: head, first+1 .. last-1: 16, last: tail, then 0. Within one cell
  // (first == last) the four sums come to x2 - x1 there and its negative after it.
  int16_t* d = cells_.data();
  const auto head = static_cast<int16_t>(int64_t{first + 1} * kSubPixels - x1);
  const auto tail = static_cast<int16_t>(x2 - int64_t{last} * kSubPixels);
  d[first] = static_cast<int16_t>(d[first] + head);
  d[first + 1] = static_cast<int16_t>(d[first + 1] + (kSubPixels - head));
  d[last] = static_cast<int16_t>(d[last] + (tail - kSubPixels));
  d[last + 1] = static_cast<int16_t>(d[last + 1] - tail);
}

// A span [x1, x2) adds Step(x1) - Step(x2), where Step(x) is the coverage of the run from x to
// the right end: 16 - x % 16 in x's cell and 16 in every cell after it, as differences. The
// cells' sums are the same in any order of adding, so a row's spans may be added edge by edge:
// an edge's 16 crossings mostly fall into one or two cells, summed in registers first.
void TRasterizer::AddBoundary(const int32_t* crossings, int sign) {
  int16_t* d = cells_.data();
  const int32_t rowCells = limitX_ / kSubPixels;
  int32_t cell = -1, inCell = 0, inNext = 0;
  const auto flush = [&] {
    if (cell < 0) return;
    d[cell] = static_cast<int16_t>(d[cell] + sign * inCell);
    d[cell + 1] = static_cast<int16_t>(d[cell + 1] + sign * inNext);
    // A crossing clamped to the right side lies in the cell after the row: the row's run ends
    // there, as a span's does, and that cell is cleared with the row.
    touchedLeft_ = std::min(touchedLeft_, cell);
    touchedRight_ = std::max(touchedRight_, std::min(cell + 1, rowCells));
  };
  for (int k = 0; k < kSubPixels; ++k) {
    // Coverage outside the target is clipped, as AddSpan clips its ends.
    const int32_t x = std::clamp(crossings[k], 0, limitX_);
    const int32_t at = x / kSubPixels, part = x % kSubPixels;
    if (at != cell) {
      flush();
      cell = at;
      inCell = inNext = 0;
    }
    inCell += kSubPixels - part;
    inNext += part;
  }
  flush();
}

bool TRasterizer::FillWholeRow(int64_t j0, int insideMask) {
  const size_t count = active_.size();
  rowCrossings_.resize(count * kSubPixels);
  for (size_t i = 0; i < count; ++i) {
    const TActive& a = active_[i];
    int32_t* x = rowCrossings_.data() + i * kSubPixels;
    for (int k = 0; k < kSubPixels; ++k)
      x[k] = a.topX +
             static_cast<int32_t>(RoundToEven((static_cast<double>(j0 + k) + a.centre) * a.slope));
    // The sub-scan-lines walk the edges in this order only while no two cross.
    if (i > 0)
      for (int k = 0; k < kSubPixels; ++k)
        if (x[k] < x[k - kSubPixels]) return false;
  }
  // Spans run from an edge where the winding turns inside to the next where it turns outside;
  // nothing runs past the last edge.
  int winding = 0;
  for (size_t i = 0; i < count; ++i) {
    const bool before = (winding & insideMask) != 0;
    winding += active_[i].winding;
    const bool after = i + 1 < count && (winding & insideMask) != 0;
    if (before != after) AddBoundary(rowCrossings_.data() + i * kSubPixels, after ? 1 : -1);
  }
  for (size_t i = 0; i < count; ++i) active_[i].x = rowCrossings_[i * kSubPixels + kSubPixels - 1];
  return true;
}

void TRasterizer::EmitRow(int32_t row, TSpanConsumer& consumer) {
  if (touchedLeft_ >= touchedRight_) return;
  // Each sub-scan-line's coverage steps by at most 16 per cell, so every partial sum and
  // difference stays within +-256.
  int16_t* d = cells_.data();
  int16_t sum = 0;
  for (int32_t c = touchedLeft_; c < touchedRight_; ++c) {
    sum = static_cast<int16_t>(sum + d[c]);
    d[c] = sum;
  }
  consumer.Span(row, touchedLeft_, touchedRight_, d);
  // The cell after the run holds the closing differences.
  std::fill(cells_.begin() + touchedLeft_, cells_.begin() + touchedRight_ + 1, int16_t{0});
  touchedLeft_ = INT32_MAX;
  touchedRight_ = INT32_MIN;
}

void TRasterizer::Rasterize(const TOutline& outline, int32_t width, int32_t height,
                            TSpanConsumer& consumer, const std::function<bool()>& cancel) {
  const auto& edges = outline.Edges();
  const auto& order = outline.SortedIndex();
  if (width <= 0 || height <= 0 || order.empty()) return;
  // Two cells more than the row: a span ending at the right edge closes its run there, and a
  // boundary there adds its (zero) share to the cell after.
  if (cells_.size() < static_cast<size_t>(width) + 2) cells_.resize(static_cast<size_t>(width) + 2);
  std::fill(cells_.begin(), cells_.begin() + width + 2, int16_t{0});
  touchedLeft_ = INT32_MAX;
  touchedRight_ = INT32_MIN;
  limitX_ = width * kSubPixels;
  active_.clear();
  nextEnd_ = INT64_MAX;
  // Inside is an odd winding for even-odd, any but zero for non-zero.
  const int insideMask = outline.EvenOdd() ? 1 : -1;
  const int64_t endLine = int64_t{height} * kSubPixels;

  size_t next = 0;
  int64_t j = std::max<int64_t>(edges[order[0]].y, 0);
  while (j < endLine) {
    if (active_.empty()) {
      // Nothing to fill until the next edge starts: jump there.
      if (next >= order.size()) break;
      const int64_t top = std::max<int64_t>(edges[order[next]].y, j);
      if (top / kSubPixels != j / kSubPixels) {
        EmitRow(static_cast<int32_t>(j / kSubPixels), consumer);
        if (cancel && cancel()) return;
      }
      j = top;
      if (j >= endLine) break;
    }
    while (next < order.size() && edges[order[next]].y <= j) {
      const TOutlineEdge& e = edges[order[next]];
      const int32_t endY = e.y + (e.height > 0 ? e.height : -e.height);
      active_.push_back({0.5 - e.y, double{e.slope}, 0, e.x, endY, e.height > 0 ? 1 : -1});
      nextEnd_ = std::min<int64_t>(nextEnd_, endY);
      ++next;
    }
    // Used-up edges leave only on the sub-scan-lines where one ends.
    if (j >= nextEnd_) DropEnded(j);
    const int64_t rowEnd = j + kSubPixels;  // the first sub-scan-line of the next row
    if (wholeRows_ && j % kSubPixels == 0 && rowEnd <= endLine && nextEnd_ >= rowEnd &&
        (next >= order.size() || edges[order[next]].y >= rowEnd) && !active_.empty() &&
        FillWholeRow(j, insideMask)) {
      EmitRow(static_cast<int32_t>(j / kSubPixels), consumer);
      if (cancel && cancel()) return;
      j = rowEnd;
      continue;
    }
    // Current x of each edge at the sub-scan-line centre, counting the neighbours that swapped.
    // Every term is a whole or half number below 2^31, so j + centre is exact, as
    // (j - top) + 0.5 was.
    const double line = static_cast<double>(j);
    size_t outOfOrder = 0;
    int32_t previous = INT32_MIN;
    for (TActive& a : active_) {
      // Stays between the edge's end points, which lie within +-2^30.
      a.x = a.topX + static_cast<int32_t>(RoundToEven((line + a.centre) * a.slope));
      outOfOrder += a.x < previous;
      previous = a.x;
    }
    SortActive(outOfOrder);

    int winding = 0;
    for (size_t i = 0; i + 1 < active_.size(); ++i) {
      if (active_[i].x >= limitX_) break;
      winding += active_[i].winding;
      if ((winding & insideMask) != 0) AddSpan(active_[i].x, active_[i + 1].x);
    }

    if (j % kSubPixels == kSubPixels - 1) {
      EmitRow(static_cast<int32_t>(j / kSubPixels), consumer);
      if (cancel && cancel()) return;
    }
    ++j;
  }
  if (j > 0 && (j - 1) / kSubPixels < height)
    EmitRow(static_cast<int32_t>((j - 1) / kSubPixels), consumer);
}

}  // namespace vyr

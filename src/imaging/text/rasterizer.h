#pragma once
// The scan-line rasteriser: 16 x 16 sub-samples per pixel, coverage 0..256 per pixel.

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/text/outline.h"

namespace vyr {

// Receives each finished pixel row: cells[left..right) hold coverages 0..256 (zeros may
// occur inside the run).
class TSpanConsumer {
 public:
  virtual ~TSpanConsumer() = default;
  virtual void Span(int32_t row, int32_t left, int32_t right, const int16_t* cells) = 0;
};

class TRasterizer {
 public:
  // Fills the outline into a target of width x height pixels. cancel, when given, is asked
  // after each pixel row; true stops. Buffers are kept for the next call.
  void Rasterize(const TOutline& outline, int32_t width, int32_t height, TSpanConsumer& consumer,
                 const std::function<bool()>& cancel = nullptr);
  // Whole pixel rows at once where no edge starts, ends or changes places within the row (on
  // by default; the same coverage either way, off only to compare the two).
  void SetWholeRows(bool on) { wholeRows_ = on; }

 private:
  // An edge crossing the current sub-scan-lines, with what its x needs copied in.
  struct TActive {
    double centre;  // 0.5 - top y: sub-scan-line j's centre lies j + centre below the top
    double slope;   // the edge's float slope, widened once
    int32_t x;
    int32_t topX;
    int32_t endY;     // first sub-scan-line below the edge
    int32_t winding;  // +1 downwards, -1 upwards
  };
  void AddSpan(int64_t x1, int64_t x2);
  // The 16 sub-scan-lines from j0 in one go; false (nothing added) when two edges change
  // places within them.
  bool FillWholeRow(int64_t j0, int insideMask);
  // One edge's crossings over a whole row as the boundary of spans: sign +1 where spans
  // start, -1 where they end.
  void AddBoundary(const int32_t* crossings, int sign);
  void EmitRow(int32_t row, TSpanConsumer& consumer);
  // Drops the edges that end above sub-scan-line j, keeping the others' order.
  void DropEnded(int64_t j);
  // outOfOrder: how many neighbours are out of order.
  void SortActive(size_t outOfOrder);

  std::vector<TActive> active_;
  int64_t nextEnd_ = 0;         // the smallest endY among the active edges
  std::vector<int16_t> cells_;  // width + 2: differences while a row collects, then coverage
  int32_t limitX_ = 0;          // 16 x width
  int32_t touchedLeft_ = INT32_MAX, touchedRight_ = INT32_MIN;  // cells a row touched
  bool wholeRows_ = true;
  std::vector<int32_t> rowCrossings_;  // kSubPixels per active edge while a row is filled whole
};

}  // namespace vyr

#pragma once
// The scan-line rasteriser: 16 x 16 sub-samples per pixel, coverage 0..256 per pixel.

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

 private:
  // An edge crossing the current sub-scan-lines, with what its x needs copied in.
  struct TActive {
    int32_t x;
    int32_t topX;
    int32_t topY;
    int32_t rows;  // sub-scan-lines it covers
    float slope;
    int32_t winding;  // +1 downwards, -1 upwards
  };
  void AddSpan(int64_t x1, int64_t x2);
  void EmitRow(int32_t row, TSpanConsumer& consumer);
  void SortActive();

  std::vector<TActive> active_;
  std::vector<int16_t> cells_;  // width + 1: differences while a row collects, then coverage
  int32_t limitX_ = 0;          // 16 x width
  int32_t touchedLeft_ = 0, touchedRight_ = 0;
};

}  // namespace vyr

#pragma once
// The edge list of one shape for the scan-line rasteriser, in 1/16 pixel.

#include <cmath>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vyr {

// Rounds to the nearest integer, halves to even (the FPU's rounding, as the rasteriser has
// always rounded). v must lie well inside the int64 range.
inline int64_t RoundToEven(double v) {
#if defined(__SSE2__)
  return _mm_cvtsd_si64(_mm_set_sd(v));
#else
  return static_cast<int64_t>(std::nearbyint(v));
#endif
}

// Sub-samples per pixel along each axis.
inline constexpr int kSubPixels = 16;

struct TOutlineEdge {
  int32_t x = 0;       // top end point, 1/16 pixel
  int32_t y = 0;       //
  int32_t height = 0;  // positive for an edge that runs downwards
  float slope = 0;     // dx / dy
};

class TOutline {
 public:
  TOutline() { edges_.reserve(16); }

  // Forgets every edge and contour.
  void Clear();
  bool EvenOdd() const { return evenOdd_; }
  void SetEvenOdd(bool evenOdd) { evenOdd_ = evenOdd; }

  // Coordinates in pixels. MoveTo closes the open contour and starts a new one.
  void MoveTo(double x, double y);
  // Without an open contour this is an assertion.
  void LineTo(double x, double y);
  // Closes the open contour back to its start.
  void CloseContour();
  // Closes the last contour and sorts the edges by top y (ties keep their order).
  void Finish();

  const std::vector<TOutlineEdge>& Edges() const { return edges_; }
  // Edge indices sorted by top y, valid after Finish.
  const std::vector<uint32_t>& SortedIndex() const { return sorted_; }

 private:
  void AddEdge(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

  std::vector<TOutlineEdge> edges_;
  std::vector<uint32_t> sorted_;
  bool open_ = false;
  int32_t startX_ = 0, startY_ = 0;
  int32_t lastX_ = 0, lastY_ = 0;
  bool evenOdd_ = false;
};

}  // namespace vyr

#include "imaging/text/outline.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "foundation/exceptions.h"

namespace vyr {

namespace {
// Coordinates are clamped before they get here; the limit keeps 1/16 units inside int32.
constexpr double kLimit = 1073741808.0;  // 2^30 - 16: differences fit too

int32_t ToSubPixels(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<int32_t>(RoundToEven(std::clamp(v * kSubPixels, -kLimit, kLimit)));
}
}  // namespace

void TOutline::Clear() {
  edges_.clear();
  sorted_.clear();
  open_ = false;
}

void TOutline::MoveTo(double x, double y) {
  CloseContour();
  startX_ = lastX_ = ToSubPixels(x);
  startY_ = lastY_ = ToSubPixels(y);
  open_ = true;
}

void TOutline::LineTo(double x, double y) {
  VYR_ASSERT_MSG(open_, "TOutline.AddPoint Error: No Start Point or Closed Outline");
  const int32_t nx = ToSubPixels(x), ny = ToSubPixels(y);
  AddEdge(lastX_, lastY_, nx, ny);
  lastX_ = nx;
  lastY_ = ny;
}

void TOutline::CloseContour() {
  if (!open_) return;
  AddEdge(lastX_, lastY_, startX_, startY_);
  open_ = false;
}

void TOutline::AddEdge(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (y0 == y1) return;  // horizontal edges cross no sub-scan-line
  TOutlineEdge edge;
  const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
  edge.slope = static_cast<float>(dx / dy);
  if (y1 > y0) {
    edge.x = x0;
    edge.y = y0;
    edge.height = y1 - y0;
  } else {
    edge.x = x1;
    edge.y = y1;
    edge.height = y1 - y0;
  }
  edges_.push_back(edge);
}

void TOutline::Finish() {
  CloseContour();
  sorted_.resize(edges_.size());
  std::iota(sorted_.begin(), sorted_.end(), 0u);
  std::stable_sort(sorted_.begin(), sorted_.end(),
                   [this](uint32_t a, uint32_t b) { return edges_[a].y < edges_[b].y; });
}

}  // namespace vyr

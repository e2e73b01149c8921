#include "render/transitions/contour_filters.h"

#include <algorithm>
#include <cmath>

namespace vyr {

TContourFilter::TContourFilter(float cx, float cy, bool reversed,
                               std::array<std::array<float, 2>, 4> corners)
    : TCommonFilter(cx, cy, reversed), corners_(corners) {}

void TContourFilter::ComputeExtent() {
  extent_ = 0;
  for (int x : {rect_.left, rect_.right})
    for (int y : {rect_.top, rect_.bottom})
      extent_ = std::max(
          extent_, Measure(static_cast<float>(x) - centreX_, static_cast<float>(y) - centreY_));
}

void TContourFilter::EmitBand(TEffController& renderer, const TSoftBand& band) {
  const float inner = static_cast<float>(band.inner), outer = static_cast<float>(band.outer);
  const float ia = static_cast<float>(band.innerAlpha), oa = static_cast<float>(band.outerAlpha);
  auto at = [&](size_t corner, float distance, float alpha) {
    return FlatVertex(centreX_ + corners_[corner][0] * distance,
                      centreY_ + corners_[corner][1] * distance, alpha);
  };
  for (size_t k = 0; k < corners_.size(); ++k) {
    const size_t next = (k + 1) % corners_.size();
    renderer.AddQuad(at(k, inner, ia), at(next, inner, ia), at(k, outer, oa), at(next, outer, oa));
  }
}

TRhombFilter::TRhombFilter(float cx, float cy, bool reversed)
    : TContourFilter(cx, cy, reversed, {{{1, 0}, {0, 1}, {-1, 0}, {0, -1}}}) {}

float TRhombFilter::Measure(float dx, float dy) const { return std::fabs(dx) + std::fabs(dy); }

TSquareFilter::TSquareFilter(float cx, float cy, bool reversed)
    : TContourFilter(cx, cy, reversed, {{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}}) {}

float TSquareFilter::Measure(float dx, float dy) const {
  return std::max(std::fabs(dx), std::fabs(dy));
}

}  // namespace vyr

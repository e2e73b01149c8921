#include "render/transitions/circle_filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vyr {

void TCircleFilter::ComputeExtent() {
  const float l = static_cast<float>(rect_.left), r = static_cast<float>(rect_.right);
  const float t = static_cast<float>(rect_.top), b = static_cast<float>(rect_.bottom);
  const float dx = std::max({l - centreX_, 0.0f, centreX_ - r});
  const float dy = std::max({t - centreY_, 0.0f, centreY_ - b});
  outsideDistance_ = std::hypot(dx, dy);
  const float fx = std::max(std::fabs(centreX_ - l), std::fabs(centreX_ - r));
  const float fy = std::max(std::fabs(centreY_ - t), std::fabs(centreY_ - b));
  extent_ = std::hypot(fx, fy) - outsideDistance_;
  steps_ = outsideDistance_ > 0 ? 256 : 128;
}

void TCircleFilter::EmitBand(TEffController& renderer, const TSoftBand& band) {
  const float inner = static_cast<float>(band.inner) + outsideDistance_;
  const float outer = static_cast<float>(band.outer) + outsideDistance_;
  const float ia = static_cast<float>(band.innerAlpha), oa = static_cast<float>(band.outerAlpha);
  const double step = 2 * std::numbers::pi / steps_;
  auto at = [&](float radius, int k, float alpha) {
    const double angle = step * k;
    return FlatVertex(centreX_ + radius * static_cast<float>(std::cos(angle)),
                      centreY_ + radius * static_cast<float>(std::sin(angle)), alpha);
  };
  for (int k = 0; k < steps_; ++k) {
    const TEffVertex i0 = at(inner, k, ia), i1 = at(inner, k + 1, ia);
    const TEffVertex o0 = at(outer, k, oa), o1 = at(outer, k + 1, oa);
    if (inner > 0) renderer.AddTriangle(i0, o0, i1);
    renderer.AddTriangle(i1, o0, o1);
  }
}

}  // namespace vyr

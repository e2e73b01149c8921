#include "render/transitions/two_slides_effect.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vyr {

TTwoSlidesEffect::TTwoSlidesEffect(int code, float angle, float distance, float depth)
    : code_(std::clamp(code, 1, 4)), angle_(angle), distance_(distance), depth_(depth) {}

std::array<TVec3, 4> TTwoSlidesEffect::Corners(double phase, bool arriving) const {
  const bool horizontal = code_ <= 2;
  const double w = rect_.Width(), h = rect_.Height();
  const double cx = rect_.left + w / 2, cy = rect_.top + h / 2;
  // The leaving slide moves toward +axis for codes 1 and 3; the arriving one the other way.
  double side = code_ % 2 == 1 ? 1 : -1;
  if (arriving) side = -side;
  const double arc = std::sin(std::numbers::pi * phase);
  const double aside = arc * distance_ * 0.6 * (horizontal ? w : h) * side;
  const double back = std::max(phase, 0.0) * depth_ / 4 * h;
  // The outer edge turns away from the viewer.
  const double turn = arc * angle_ * std::numbers::pi / 180 * side;
  const double c = std::cos(turn), s = std::sin(turn);
  std::array<TVec3, 4> corners;
  const double xs[4] = {-w / 2, w / 2, -w / 2, w / 2}, ys[4] = {-h / 2, -h / 2, h / 2, h / 2};
  for (size_t i = 0; i < 4; ++i) {
    const double along = horizontal ? xs[i] : ys[i];
    const double rotated = along * c, depth = along * s + back;
    double x = cx + xs[i], y = cy + ys[i];
    if (horizontal)
      x = cx + rotated + aside;
    else
      y = cy + rotated + aside;
    corners[i] = TVec3{static_cast<float>(x), static_cast<float>(y), static_cast<float>(depth)};
  }
  return corners;
}

void TTwoSlidesEffect::Draw(TEffController& renderer) {
  const double p = Progress();
  const bool arriving = SubjectArriving();
  const double phase = arriving ? 1 - p : p;
  // The rear slide goes first: the stage behind both is black.
  const bool rear = (p >= 0.5) != arriving;
  if (rear) renderer.AddColourRect(rect_, 0xFF000000u);
  const std::array<TVec3, 4> corners = Corners(phase, arriving);
  // Farther back is darker.
  const int grey = static_cast<int>(std::lround(255 - 80 * std::clamp(phase, 0.0, 1.0)));
  const uint32_t colour = GreyColour(grey);
  renderer.AddSlideQuad(rect_, corners, colour);
}

}  // namespace vyr

#include "render/transitions/overturn_effect.h"

#include <cmath>
#include <numbers>

namespace vyr {

double EaseInOut(double x) { return x < 0.5 ? 2 * x * x : 1 - 2 * (1 - x) * (1 - x); }

TOverturnEffect::TOverturnEffect(int code, bool nonlinearSpeed, float volume)
    : code_(code), nonlinear_(nonlinearSpeed), volume_(volume) {}

double TOverturnEffect::Angle() const {
  const double p = Progress();
  const double a = std::numbers::pi * (nonlinear_ ? EaseInOut(p) : p);
  return code_ % 2 == 1 ? -a : a;
}

std::array<TVec3, 4> TOverturnEffect::Corners() const {
  const double theta = Angle();
  const double sigma = std::fabs(theta) < std::numbers::pi / 2 ? 1 : -1;
  const bool vertical = code_ == 1 || code_ == 2 || code_ == 5 || code_ == 6;
  const double l = rect_.left, r = rect_.right, t = rect_.top, b = rect_.bottom;
  const double d = vertical ? (r - l) / 2 : (b - t) / 2;
  const double c = vertical ? (r + l) / 2 : (b + t) / 2;
  const double z0 = std::sin(theta) * d * volume_ * sigma;
  const double bend = std::cos(theta) * d * sigma;
  // zR and zL: the right (bottom) edge and the left (top) edge.
  double zRight = 0, zLeft = 0;
  if (code_ >= 5) {
    zRight = -z0;
    zLeft = z0;
  } else {
    zRight = std::fabs(z0) - z0;
    zLeft = z0 + std::fabs(z0);
  }
  auto f = [](double v) { return static_cast<float>(v); };
  if (vertical)
    return {TVec3{f(c - bend), f(t), f(zLeft)}, TVec3{f(c + bend), f(t), f(zRight)},
            TVec3{f(c - bend), f(b), f(zLeft)}, TVec3{f(c + bend), f(b), f(zRight)}};
  return {TVec3{f(l), f(c - bend), f(zLeft)}, TVec3{f(r), f(c - bend), f(zLeft)},
          TVec3{f(l), f(c + bend), f(zRight)}, TVec3{f(r), f(c + bend), f(zRight)}};
}

int TOverturnEffect::Grey() const {
  return static_cast<int>(std::lround(std::fabs(std::cos(Angle())) * 155 + 100));
}

void TOverturnEffect::Draw(TEffController& renderer) {
  // Behind the card: black. (Opaque, or the card would turn over whatever lay there.)
  renderer.AddColourRect(rect_, 0xFF000000u);
  const std::array<TVec3, 4> corners = Corners();
  const uint32_t colour = GreyColour(Grey());
  renderer.AddSlideQuad(rect_, corners, colour);
}

}  // namespace vyr

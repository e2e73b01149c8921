#pragma once
// Overturn (`TOverturnEffect`, the "flip"): the slide turns like a card about its vertical
// (codes 1, 2, 5, 6) or horizontal (codes 3, 4, 7, 8) centre line; the leaving slide turns
// away in the first half, the arriving one turns in during the second. Codes 5..8 spin
// about the centre; 1..4 keep the nearer edge in the screen plane.

#include <array>

#include "render/transitions/draw_filter.h"

namespace vyr {

class TOverturnEffect : public TDrawFilter {
 public:
  // volume: the depth factor V.
  TOverturnEffect(int code, bool nonlinearSpeed, float volume);
  void Draw(TEffController& renderer) override;
  TFilterOrder Order() const override { return TFilterOrder::Overturn; }

  // The signed turning angle at the current time (radians).
  double Angle() const;
  // The picture's corners (top-left, top-right, bottom-left, bottom-right) in drawing space.
  std::array<TVec3, 4> Corners() const;
  // Grey level of the picture: round(|cos angle| x 155 + 100).
  int Grey() const;

 private:
  int code_;
  bool nonlinear_;
  float volume_;
};

// e(x) = 2x^2 below 0.5, else 1 - 2(1 - x)^2: starts and ends slowly.
double EaseInOut(double x);

}  // namespace vyr

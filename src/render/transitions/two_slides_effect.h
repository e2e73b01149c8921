#pragma once
// Two slides swapping in depth (`TTwoSlidesEffect`): the leaving slide moves aside and
// back while the arriving one comes from behind it and forward, each turned by up to the
// angle on the way; halfway they pass each other side by side. Code 1 sends the leaving
// slide right (the arriving one comes from the left), 2 left, 3 down, 4 up. The distance
// scales how far aside they move (1: just clear of each other); the depth how far back
// the rear slide lies (4: as far behind the screen as the eye is in front of it).

#include <array>

#include "render/transitions/draw_filter.h"

namespace vyr {

class TTwoSlidesEffect : public TDrawFilter {
 public:
  // angle in degrees.
  TTwoSlidesEffect(int code, float angle, float distance, float depth);
  void Draw(TEffController& renderer) override;
  TFilterOrder Order() const override { return TFilterOrder::TwoSlides; }

  // Corners (top-left, top-right, bottom-left, bottom-right) of a slide in drawing space:
  // the leaving one at phase p, the arriving one at phase 1 - p (0 = in front, in place).
  std::array<TVec3, 4> Corners(double phase, bool arriving) const;

 private:
  int code_;
  float angle_, distance_, depth_;
};

}  // namespace vyr

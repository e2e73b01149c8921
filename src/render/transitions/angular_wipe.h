#pragma once
// A wipe by a hand turning about a pivot: the slide shows in the sector the hand has
// swept, with a soft angular edge behind the hand. The clock and the broom are such wipes.
// Angles are screen angles (y down), so a growing angle turns clockwise.

#include "render/transitions/draw_filter.h"

namespace vyr {

class TAngularWipe : public TDrawFilter {
 public:
  void Draw(TEffController& renderer) override;

 protected:
  // Sets the pivot, the start angle and the signed sweep (radians) for the rectangle.
  virtual void Place() = 0;
  void Init(const TIntRect& rect, float smoothing, float duration) override;

  float pivotX_ = 0, pivotY_ = 0;
  double start_ = 0, sweep_ = 0;

 private:
  float reach_ = 0;      // beyond the farthest corner seen from the pivot
  double softness_ = 0;  // angular width of the soft edge
};

}  // namespace vyr

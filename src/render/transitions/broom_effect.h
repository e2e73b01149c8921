#pragma once
// Broom (`TBroomEffect`): a hand pivoting at an edge's middle or at a corner sweeps over
// the slide like a broom, uncovering the arriving slide. Kind k = 8 x turn + pivot:
// pivots 1..4 are the middles of the top, right, bottom and left edges, 5..8 the
// top-right, bottom-right, bottom-left and top-left corners; turn 0 sweeps clockwise,
// 1 counter-clockwise. The sweep width moves the pivot that far out of the rectangle,
// which flattens the sweep toward a straight wipe.

#include "render/transitions/angular_wipe.h"

namespace vyr {

class TBroomEffect : public TAngularWipe {
 public:
  TBroomEffect(int kind, float sweepWidth) : kind_(kind), sweepWidth_(sweepWidth) {}

 protected:
  void Place() override;

 private:
  int kind_;
  float sweepWidth_;
};

}  // namespace vyr

#pragma once
// Clock wipe (`TClockEffect`): a hand turning about the centre from twelve o'clock
// uncovers the arriving slide, clockwise or counter-clockwise.

#include "render/transitions/angular_wipe.h"

namespace vyr {

class TClockEffect : public TAngularWipe {
 public:
  // Centre as fractions of the rectangle.
  TClockEffect(bool clockwise, float cx = 0.5f, float cy = 0.5f)
      : clockwise_(clockwise), cx_(cx), cy_(cy) {}

 protected:
  void Place() override;

 private:
  bool clockwise_;
  float cx_, cy_;
};

}  // namespace vyr

#pragma once
// Circle mask (`TCircleFilter`): Euclidean distance measured from the point of the slide
// rectangle nearest to the centre, so a centre outside the rectangle starts at its edge.

#include "render/transitions/common_filter.h"

namespace vyr {

class TCircleFilter : public TCommonFilter {
 public:
  using TCommonFilter::TCommonFilter;

 protected:
  void ComputeExtent() override;
  void EmitBand(TEffController& renderer, const TSoftBand& band) override;

 private:
  float outsideDistance_ = 0;  // from the centre to the rectangle
  int steps_ = 128;
};

}  // namespace vyr

#pragma once
// Diagonal line masks (`TDiagLines`): the distance runs along the diagonal measure
// t = (x - corner x) + (y - corner y), signs pointing into the rectangle from the chosen
// corner. The page kind wipes from the corner (d = t, extent width + height); the gates
// kind opens from the middle diagonal (d = |t - (w + h) / 2|, extent half of that).
// Corners: 1 top-left, 2 bottom-right, 3 top-right, 4 bottom-left.

#include "project/effects/filter_spec.h"
#include "render/transitions/common_filter.h"

namespace vyr {

class TDiagLines : public TCommonFilter {
 public:
  TDiagLines(TDiagLinesKind kind, int corner, bool reversed);

 protected:
  void ComputeExtent() override;
  void EmitBand(TEffController& renderer, const TSoftBand& band) override;

 private:
  // The strip between the lines t = t0 and t = t1.
  void EmitStrip(TEffController& renderer, float t0, float a0, float t1, float a1);

  TDiagLinesKind kind_;
  int corner_;
  float originX_ = 0, originY_ = 0, signX_ = 1, signY_ = 1;
  float middle_ = 0;
};

}  // namespace vyr

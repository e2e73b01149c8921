#pragma once
// Shape masks (`TCommonFilter`): the slide shows inside a shape that grows from a centre
// point with the progress (shrinks when reversed), with a soft edge. Each descendant gives
// its distance measure through ComputeExtent and the geometry of one band between two
// distances through EmitBand.

#include "render/transitions/draw_filter.h"
#include "render/transitions/soft_bands.h"

namespace vyr {

class TCommonFilter : public TDrawFilter {
 public:
  // Centre as fractions of the rectangle's width and height.
  TCommonFilter(float cx, float cy, bool reversed);
  void Init(const TIntRect& rect, float smoothing, float duration) override;
  void Draw(TEffController& renderer) override;

  float CentreX() const { return centreX_; }
  float CentreY() const { return centreY_; }
  // The largest distance of the rectangle under the measure (without the smoothing width).
  float Extent() const { return extent_; }

 protected:
  // Sets extent_ from the centre point and the rectangle.
  virtual void ComputeExtent() = 0;
  virtual void EmitBand(TEffController& renderer, const TSoftBand& band) = 0;

  float cx_, cy_;
  float centreX_ = 0, centreY_ = 0;  // pixels
  float extent_ = 0;
};

}  // namespace vyr

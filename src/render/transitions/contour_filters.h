#pragma once
// Masks whose distance contours are polygons about the centre: `TRhombFilter`
// (|x - Cx| + |y - Cy|, diamonds) and `TSquareFilter` (max(|x - Cx|, |y - Cy|), squares).
// A band is the ring between two contours, one quad per contour edge; the measure is
// linear within each quad, so interpolated vertex alpha follows it exactly.

#include <array>

#include "render/transitions/common_filter.h"

namespace vyr {

class TContourFilter : public TCommonFilter {
 public:
  // The contour at distance 1, corners in order around the centre.
  TContourFilter(float cx, float cy, bool reversed, std::array<std::array<float, 2>, 4> corners);

 protected:
  void ComputeExtent() override;
  void EmitBand(TEffController& renderer, const TSoftBand& band) override;
  // The measure of an offset from the centre.
  virtual float Measure(float dx, float dy) const = 0;

 private:
  std::array<std::array<float, 2>, 4> corners_;
};

class TRhombFilter : public TContourFilter {
 public:
  TRhombFilter(float cx, float cy, bool reversed);

 protected:
  float Measure(float dx, float dy) const override;
};

class TSquareFilter : public TContourFilter {
 public:
  TSquareFilter(float cx, float cy, bool reversed);

 protected:
  float Measure(float dx, float dy) const override;
};

}  // namespace vyr

#include "render/transitions/common_filter.h"

namespace vyr {

TCommonFilter::TCommonFilter(float cx, float cy, bool reversed) : cx_(cx), cy_(cy) {
  reversed_ = reversed;
}

void TCommonFilter::Init(const TIntRect& rect, float smoothing, float duration) {
  TDrawFilter::Init(rect, smoothing, duration);
  centreX_ = static_cast<float>(rect.left) + cx_ * static_cast<float>(rect.Width());
  centreY_ = static_cast<float>(rect.top) + cy_ * static_cast<float>(rect.Height());
  ComputeExtent();
}

void TCommonFilter::Draw(TEffController& renderer) {
  const double extent = extent_ + smoothing_;
  double r = Progress() * extent;
  if (reversed_) r = extent - r;
  renderer.SetKeepOrder(false);  // bands never overlap
  for (const TSoftBand& band : SoftBands(r, smoothing_, extent)) EmitBand(renderer, band);
}

}  // namespace vyr

#include "render/transitions/slide_filters.h"

#include "render/transitions/alpha_filter.h"

namespace vyr {

void TSlideFilter::EntryOffset(float& dx, float& dy) const {
  const float p = static_cast<float>(Progress());
  const float w = static_cast<float>(rect_.Width()), h = static_cast<float>(rect_.Height());
  dx = dy = 0;
  switch (code_) {
    case 1:
      dx = w * p - w;
      break;
    case 2:
      dx = w - w * p;
      break;
    case 3:
      dy = h * p - h;
      break;
    case 4:
      dy = h - h * p;
      break;
    default:
      break;
  }
}

void TSlideFilter::Draw(TEffController& renderer) {
  float dx = 0, dy = 0;
  EntryOffset(dx, dy);
  EmitSlideRect(renderer, rect_, 255, dx, dy);
}

void TPushFilter::PushOffset(float& dx, float& dy) const {
  const float p = static_cast<float>(Progress());
  const float w = static_cast<float>(rect_.Width()), h = static_cast<float>(rect_.Height());
  dx = dy = 0;
  switch (code_) {
    case 1:
      dx = w * p;
      break;
    case 2:
      dx = -w * p;
      break;
    case 3:
      dy = h * p;
      break;
    case 4:
      dy = -h * p;
      break;
    default:
      break;
  }
}

}  // namespace vyr

#include "render/transitions/draw_filter.h"

#include <algorithm>

namespace vyr {

void TDrawFilter::Init(const TIntRect& rect, float smoothing, float duration) {
  rect_ = rect;
  smoothing_ = std::max(smoothing, 0.0f);
  duration_ = std::max(duration, 0.0f);
  inverseDuration_ = duration_ > 0 ? 1.0 / duration_ : 0.0;
  time_ = 0;
}

void TDrawFilter::SetTime(float time) { time_ = std::clamp(time, 0.0f, duration_); }

double TDrawFilter::Progress() const { return std::clamp(time_ * inverseDuration_, 0.0, 1.0); }

}  // namespace vyr

#include "scene/device_drawer.h"

namespace vyr {

namespace {
constexpr float kNoBlur = 0.00001f;

class TNestingGuard {
 public:
  explicit TNestingGuard(int& counter) : counter_(counter) { ++counter_; }
  ~TNestingGuard() { --counter_; }
  TNestingGuard(const TNestingGuard&) = delete;
  TNestingGuard& operator=(const TNestingGuard&) = delete;

 private:
  int& counter_;
};
}  // namespace

float TDeviceDrawer::BlurScale() const {
  if (designWidth_ > 0 && clip_.Width() > 0)
    return static_cast<float>(designWidth_) / static_cast<float>(clip_.Width());
  return 1;
}

void TDeviceDrawer::DrawItem(TDrawItem& item) {
  TNestingGuard guard(nesting_);
  if (nesting_ > 1) {
    if (IsReady()) DrawRouted(item);
    return;
  }
  try {
    if (BeginFrame() && IsReady()) DrawRouted(item);
    EndFrame();
  } catch (...) {
    item.FinishFrame();
    throw;
  }
  item.FinishFrame();
}

void TDeviceDrawer::DrawRouted(TDrawItem& item) {
  float amount = item.GetBlurAmount();
  if (filterOpen_ || (amount >= 0 && amount <= kNoBlur)) {
    item.Draw(*this);
    return;
  }
  filterOpen_ = true;
  try {
    if (amount > 0) {
      DrawBlurred(item, amount / 1000 * BlurScale());
    } else {
      BeginSharpen();
      item.Draw(*this);
      EndSharpen(-amount / 100 * BlurScale());
    }
  } catch (...) {
    filterOpen_ = false;
    throw;
  }
  filterOpen_ = false;
}

TRef<TVideoPicture> TDeviceDrawer::CreateVideoImage(int width, int height, TVideoKind kind) {
  return MakeRef<TVideoPicture>(width, height, kind);
}

void TDeviceDrawer::DrawColourBox(const TPlacement& placement, const TFloatRect& rect,
                                  uint32_t color1, uint32_t color2, TBoxFill fill, float opacity,
                                  bool antialiased) {
  TBoxDrawParams params;
  params.fill = fill;
  params.color1 = color1;
  params.color2 = color2;
  params.opacity = opacity;
  params.antialiased = antialiased;
  DrawBox(placement, rect, params);
}

}  // namespace vyr

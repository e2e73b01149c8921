#include "render/compose/third_slide.h"

namespace vyr {

int TThirdSlide::AddPicture(TRef<TImage> picture, float left, float top, float scaleX, float scaleY,
                            float opacity) {
  TOverlayRecord record;
  record.left = left;
  record.top = top;
  record.scaleX = scaleX;
  record.scaleY = scaleY;
  record.params.opacity = opacity;
  record.picture = std::move(picture);
  records_.push_back(std::move(record));
  structureChanged_ = true;
  return static_cast<int>(records_.size()) - 1;
}

void TThirdSlide::Draw(TDeviceDrawer& drawer) {
  const int count = static_cast<int>(records_.size());
  const int bands = bandsBefore_ >= 0 && bandsBefore_ < count ? bandsBefore_ : count;
  for (int i = 0; i <= count; ++i) {
    if (i == bands && root_) root_->DrawBackground(drawer);
    if (i == count) break;
    TOverlayRecord& r = records_[static_cast<size_t>(i)];
    if (!r.picture) continue;
    TImageDrawParams params = r.params;
    params.placement = TPlacement{};
    params.placement.origin = TVec3{r.left, r.top, 0};
    params.placement.axisX = TVec3{r.scaleX, 0, 0};
    params.placement.axisY = TVec3{0, r.scaleY, 0};
    params.pivotRect = TFloatRect{0, 0, static_cast<float>(r.picture->Width()),
                                  static_cast<float>(r.picture->Height())};
    drawer.DrawImage(*r.picture, params);
  }
  structureChanged_ = false;
  contentChanged_ = false;
}

}  // namespace vyr

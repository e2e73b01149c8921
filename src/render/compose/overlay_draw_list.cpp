#include "render/compose/overlay_draw_list.h"

namespace vyr {

int TOverlayDrawList::AddPicture(TRef<TImage> picture, float left, float top, float scaleX,
                                 float scaleY, float opacity) {
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

TImageDrawParams RecordDrawParams(const TOverlayRecord& r) {
  TImageDrawParams params = r.params;
  params.placement = TPlacement{};
  params.placement.origin = TVec3{r.left, r.top, 0};
  params.placement.axisX = TVec3{r.scaleX, 0, 0};
  params.placement.axisY = TVec3{0, r.scaleY, 0};
  params.pivotRect = TFloatRect{0, 0, static_cast<float>(r.picture->Width()),
                                static_cast<float>(r.picture->Height())};
  return params;
}

void TOverlayDrawList::DrawRecord(TDeviceDrawer& drawer, TOverlayRecord& record) {
  drawer.DrawImage(*record.picture, RecordDrawParams(record));
}

void TOverlayDrawList::Draw(TDeviceDrawer& drawer) {
  DrawBelowRecords(drawer);
  const int count = static_cast<int>(records_.size());
  const int bands = bandsBefore_ >= 0 && bandsBefore_ < count ? bandsBefore_ : count;
  for (int i = 0; i <= count; ++i) {
    if (i == bands && root_) root_->DrawBackground(drawer);
    if (i == count) break;
    TOverlayRecord& r = records_[static_cast<size_t>(i)];
    if (!r.picture || r.hidden) continue;
    DrawRecord(drawer, r);
  }
  structureChanged_ = false;
  contentChanged_ = false;
}

}  // namespace vyr

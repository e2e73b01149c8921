#include "player/loader/draw_container.h"

#include "foundation/log.h"

#include "foundation/exceptions.h"

namespace vyr {

void TDrawContainer::AdvanceTo(double showTime) {
  if (slide) slide->Advance(true, showTime - repeatOffset);
  if (filter) filter->SetCurrentTime(showTime - timing.start);
}

void TDrawContainer::RequestFrames(TDeviceDrawer& drawer, double showTime) {
  if (slide) slide->RequestFrames(drawer, showTime - timing.start);
}

void TDrawContainer::Preload(TDeviceDrawer& drawer, bool showRunning) {
  if (!slide) return;
  if (showRunning) {
    WriteLine("preload from callback.............");
    slide->PrepareResources(drawer);
  }
  slide->RequestFrames(drawer, 0);
}

void TSlideData::Add(TRef<TDrawContainer> container) {
  VYR_ASSERT_MSG(count_ < kMaxCount, "TSlideData: more than three slides");
  items_[count_++] = std::move(container);
}

}  // namespace vyr

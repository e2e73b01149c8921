#include "player/loader/draw_container.h"

#include "foundation/exceptions.h"

namespace vyr {

void TDrawContainer::AdvanceTo(double showTime) {
  if (slide) slide->Advance(true, showTime - repeatOffset);
  if (filter) filter->SetCurrentTime(showTime - timing.start);
}

void TSlideData::Add(TRef<TDrawContainer> container) {
  VYR_ASSERT_MSG(count_ < kMaxCount, "TSlideData: more than three slides");
  items_[count_++] = std::move(container);
}

}  // namespace vyr

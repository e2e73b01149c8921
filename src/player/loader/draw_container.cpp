#include "player/loader/draw_container.h"

#include "foundation/exceptions.h"

namespace vyr {

void TSlideData::Add(TRef<TDrawContainer> container) {
  VYR_ASSERT_MSG(count_ < kMaxCount, "TSlideData: more than three slides");
  items_[count_++] = std::move(container);
}

}  // namespace vyr

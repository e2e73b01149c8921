#include "player/loader/slide_cache.h"

#include <algorithm>

#include "foundation/exceptions.h"

namespace vyr {

TSlideCache::TSlideCache(TRef<TContainerFactory> factory, int capacity)
    : factory_(std::move(factory)), capacity_(capacity) {
  VYR_ASSERT_MSG(factory_, "TSlideCache: no producer");
  VYR_ASSERT_MSG(capacity >= 1 && capacity <= TSlideData::kMaxCount,
                 "TSlideCache: capacity outside 1..3");
}

TSlideCache::~TSlideCache() { containers_.clear(); }

bool TSlideCache::Step(double time) {
  const TSlideWindow window = factory_->WindowSearch(time);
  const int first = window.first;
  const int last = first + capacity_ - 1;
  EvictOutside(first, last);
  int missing = first;
  while (missing <= last && Holds(missing)) ++missing;
  if (missing > last) return false;
  TRef<TDrawContainer> container = factory_->BuildContainer(missing);
  VYR_ASSERT_MSG(container, "TSlideCache: the producer built nothing");
  if (created_) created_(*container);
  Insert(std::move(container));
  NotifyChanged();
  return true;
}

void TSlideCache::EvictOutside(int first, int last) {
  // At least one container always stays, so the engine never runs out of slides.
  while (containers_.size() >= 2) {
    auto outside = std::find_if(containers_.begin(), containers_.end(), [&](const auto& c) {
      return c->absoluteIndex < first || c->absoluteIndex > last;
    });
    if (outside == containers_.end()) return;
    TRef<TDrawContainer> evicted = std::move(*outside);
    containers_.erase(outside);
    NotifyChanged();  // the engine lets go of it before it is freed here
  }
}

void TSlideCache::Insert(TRef<TDrawContainer> container) {
  VYR_ASSERT_MSG(containers_.size() <= 2, "TSlideCache: a third slide is held already");
  const auto at = std::find_if(containers_.begin(), containers_.end(), [&](const auto& c) {
    return c->absoluteIndex > container->absoluteIndex;
  });
  containers_.insert(at, std::move(container));
}

bool TSlideCache::Holds(int absoluteIndex) const {
  return std::any_of(containers_.begin(), containers_.end(),
                     [&](const auto& c) { return c->absoluteIndex == absoluteIndex; });
}

TRef<TSlideData> TSlideCache::Snapshot() const {
  auto data = MakeRef<TSlideData>();
  for (const auto& container : containers_) data->Add(container);
  return data;
}

void TSlideCache::NotifyChanged() {
  if (changed_) changed_(Snapshot());
}

void TSlideCache::Clear() { containers_.clear(); }

}  // namespace vyr

#pragma once
// The prepared slides around the current show time: each step evicts what fell out of the
// window and builds at most one missing slide, lowest index first.

#include <functional>
#include <vector>

#include "foundation/ref_object.h"
#include "player/loader/draw_container.h"
#include "player/loader/slide_window.h"

namespace vyr {

// What the cache builds with (the slide producer, or a test's stand-in).
class TContainerFactory : public TRefObject {
 public:
  virtual TSlideWindow WindowSearch(double time) = 0;
  // Never none: a slide that does not build gives a container without a slide.
  virtual TRef<TDrawContainer> BuildContainer(int absoluteIndex) = 0;
};

class TSlideCache {
 public:
  using TContainerCreated = std::function<void(TDrawContainer& container)>;
  using TListChanged = std::function<void(TRef<TSlideData> list)>;

  // A capacity outside 1..3 is an internal error.
  TSlideCache(TRef<TContainerFactory> factory, int capacity);
  ~TSlideCache();
  TSlideCache(const TSlideCache&) = delete;
  TSlideCache& operator=(const TSlideCache&) = delete;

  // The engine's preload of each new container.
  void SetContainerCreated(TContainerCreated callback) { created_ = std::move(callback); }
  // The hand-over of every new list; an evicted container is freed only after it returns.
  void SetListChanged(TListChanged callback) { changed_ = std::move(callback); }

  // True when a slide was built.
  bool Step(double time);
  // Frees every container.
  void Clear();

  int Count() const { return static_cast<int>(containers_.size()); }
  int Capacity() const { return capacity_; }
  TDrawContainer* Item(int index) const { return containers_[index].Get(); }
  TRef<TSlideData> Snapshot() const;
  TContainerFactory& Factory() const { return *factory_; }

 private:
  void EvictOutside(int first, int last);
  void Insert(TRef<TDrawContainer> container);
  bool Holds(int absoluteIndex) const;
  void NotifyChanged();

  TRef<TContainerFactory> factory_;
  int capacity_;
  std::vector<TRef<TDrawContainer>> containers_;  // sorted by absolute index
  TContainerCreated created_;
  TListChanged changed_;
};

}  // namespace vyr

#pragma once
// The slide loader thread: every step builds at most one slide of the window around the
// shared clock's time, then sleeps 10 ms, and hands each new list of prepared slides to
// the engine.

#include <atomic>
#include <functional>

#include "player/loader/slide_cache.h"
#include "player/loader/slide_show_params.h"
#include "project/vyr_source.h"
#include "scene/animation/slide_timing.h"

namespace vyr {

class TSlideProducer;

// The engine's event id for a new slide list.
inline constexpr int32_t kSlideListEvent = 101;

class TVyrSlideLoader : public TSlideShowParams {
 public:
  using TListHandler = std::function<void(TRef<TSlideData> list)>;

  // Builds with the producer given, which shares the loader's clock. A missing source or
  // producer is an internal error; the engine passes a capacity of 3.
  TVyrSlideLoader(TRef<TVyrSource> source, TRef<TSlideProducer> producer, int capacity,
                  TIntSize screenSize);
  // Builds with any factory (one whose slides need no clock).
  TVyrSlideLoader(TRef<TVyrSource> source, TRef<TContainerFactory> factory, int capacity,
                  TIntSize screenSize);

  TTiming& Clock() const { return *clock_; }
  const TRef<TTiming>& ClockRef() const { return clock_; }
  TVyrSource& Source() const { return *source_; }
  TSlideCache& Cache() { return cache_; }
  TSlideProducer* Producer() const { return producer_; }

  // Lists go to queue as a Send of eventId (so an evicted slide outlives the engine's copy).
  void SetTarget(TThreadEventList* queue, int32_t eventId = kSlideListEvent);
  // When set, lists go straight to handler on the loader thread instead.
  void SetDeliverDirectly(TListHandler handler) { direct_ = std::move(handler); }
  // The engine's preload of each new container (runs on the loader thread).
  void SetContainerCreated(TSlideCache::TContainerCreated callback);

  // The geometry for the draw device's client size; at any time, before the thread starts
  // or while it runs (a slide already being built keeps the size it began with).
  void SetBuildSize(TIntSize size, bool cover);
  TIntRect SlideRect() const;

  // One cache step at the clock's current time: true when a slide was built. The thread's
  // loop runs it; tests may call it directly on a stopped loader. A show without slides
  // builds nothing and says so in the log once.
  bool Step();

 protected:
  void MainLoop() override;

 private:
  void HandOver(TRef<TSlideData> list);

  TRef<TVyrSource> source_;
  TRef<TTiming> clock_;
  TSlideProducer* producer_ = nullptr;  // kept alive by the cache's reference
  TSlideCache cache_;
  TThreadEventList* target_ = nullptr;
  int32_t targetEvent_ = kSlideListEvent;
  TListHandler direct_;
  std::atomic<bool> noSlidesLogged_{false};
};

}  // namespace vyr

#include "player/loader/slide_loader.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "foundation/log.h"
#include "player/loader/slide_producer.h"

namespace vyr {

namespace {

TRef<TVyrSource> RequireSource(TRef<TVyrSource> source) {
  VYR_ASSERT_MSG(source, "TVyrSlideLoader: no source");
  return source;
}

TRef<TSlideProducer> WithClock(TRef<TSlideProducer> producer, const TRef<TTiming>& clock) {
  VYR_ASSERT_MSG(producer, "TVyrSlideLoader: no producer");
  producer->SetCurrentTiming(clock);
  return producer;
}

}  // namespace

TVyrSlideLoader::TVyrSlideLoader(TRef<TVyrSource> source, TRef<TSlideProducer> producer,
                                 int capacity, TIntSize screenSize)
    : TSlideShowParams(RequireSource(source)->Model(), screenSize),
      source_(std::move(source)),
      clock_(MakeRef<TTiming>()),
      producer_(producer.Get()),
      cache_(WithClock(std::move(producer), clock_), capacity) {
  cache_.SetListChanged([this](TRef<TSlideData> list) { HandOver(std::move(list)); });
}

TVyrSlideLoader::TVyrSlideLoader(TRef<TVyrSource> source, TRef<TContainerFactory> factory,
                                 int capacity, TIntSize screenSize)
    : TSlideShowParams(RequireSource(source)->Model(), screenSize),
      source_(std::move(source)),
      clock_(MakeRef<TTiming>()),
      cache_(std::move(factory), capacity) {
  cache_.SetListChanged([this](TRef<TSlideData> list) { HandOver(std::move(list)); });
}

void TVyrSlideLoader::SetTarget(TThreadEventList* queue, int32_t eventId) {
  target_ = queue;
  targetEvent_ = eventId;
}

void TVyrSlideLoader::SetContainerCreated(TSlideCache::TContainerCreated callback) {
  cache_.SetContainerCreated(std::move(callback));
}

void TVyrSlideLoader::SetBuildSize(TIntSize size, bool cover) {
  // A window never builds below 10 x 10, so no slide side ends up zero.
  size = {std::max(size.width, 10), std::max(size.height, 10)};
  if (producer_) producer_->SetBuildSize(size, cover ? TSlideFit::Cover : TSlideFit::FitInside);
}

TIntRect TVyrSlideLoader::SlideRect() const {
  return producer_ ? producer_->SlideRect() : TIntRect{};
}

bool TVyrSlideLoader::Step() {
  if (source_->SlideCount() <= 0) {
    if (!noSlidesLogged_.exchange(true)) WriteLine("TVyrSlideLoader: No Slides in Presentation");
    return false;
  }
  return cache_.Step(clock_->CurrentTime());
}

void TVyrSlideLoader::MainLoop() {
  Events().Process();
  try {
    Step();
  } catch (const std::exception& error) {
    // A worker's loop never lets an exception end it: the next step tries again.
    WriteLine(std::string("TVyrSlideLoader.MainLoop: ") + error.what());
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TVyrSlideLoader::HandOver(TRef<TSlideData> list) {
  if (direct_) {
    direct_(std::move(list));
  } else if (target_) {
    target_->Send(targetEvent_, std::move(list));
  }
}

}  // namespace vyr

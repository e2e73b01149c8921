#include "player/engine/custom_engine.h"

#include "foundation/exceptions.h"

namespace vyr {

TCustomVyrEngine::TCustomVyrEngine(TEventBus* bus) : bus_(bus) {
  VYR_ASSERT_MSG(bus_, "Application not assigned");
  channel_ = bus_->AllocateId();
  bus_->Subscribe(channel_, [this](TRefObject* payload) { Receive(payload); });
}

void TCustomVyrEngine::Dispose() {
  bus_->Unsubscribe(channel_);
  TVyrThread::Dispose();
}

void TCustomVyrEngine::PostEvent(int32_t id, std::vector<int32_t> integers,
                                 TRef<TRefObject> payload) {
  auto event = MakeRef<TVyrEventData>();
  event->id = id;
  event->integers = std::move(integers);
  event->payload = std::move(payload);
  bus_->Post(channel_, std::move(event));
}

void TCustomVyrEngine::Receive(TRefObject* payload) {
  auto* event = dynamic_cast<TVyrEventData*>(payload);
  if (!event) return;
  if (event->id == kEventFirstFrame && onFirstFrame_) onFirstFrame_();
  if (event->id == kEventPosition) {
    // Reports of an older request than the last one sent are stale.
    if (event->integers.size() >= 4 && event->integers[0] == requestCounter_ && onPosition_)
      onPosition_(event->integers[1], event->integers[3] != 0, event->integers[2]);
    return;
  }
  if (onEvent_) onEvent_(*event);
}

}  // namespace vyr

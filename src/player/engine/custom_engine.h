#pragma once
// The engine's side facing the main thread: a worker thread with a private channel on the
// application's event bus, the request counter, and the callbacks its events arrive at.

#include <functional>

#include "platform/event_bus.h"
#include "platform/thread.h"
#include "player/engine/engine_types.h"

namespace vyr {

class TCustomVyrEngine : public TVyrThread {
 public:
  using TFirstFrame = std::function<void()>;
  using TPosition = std::function<void(int32_t timeMs, bool ended, int32_t totalMs)>;
  using TEvent = std::function<void(const TVyrEventData& event)>;

  // Main thread. The callbacks run on the main thread when the bus dispatches.
  void SetOnFirstFrame(TFirstFrame callback) { onFirstFrame_ = std::move(callback); }
  void SetOnPosition(TPosition callback) { onPosition_ = std::move(callback); }
  void SetOnEvent(TEvent callback) { onEvent_ = std::move(callback); }
  // Stamps each open or seek request; position reports of older requests are dropped.
  int32_t NextRequestId() { return ++requestCounter_; }
  int32_t RequestCounter() const { return requestCounter_; }
  int32_t ChannelId() const { return channel_; }

 protected:
  explicit TCustomVyrEngine(TEventBus* bus);
  void Dispose() override;
  // Engine thread: posts an event to the main thread.
  void PostEvent(int32_t id, std::vector<int32_t> integers = {},
                 TRef<TRefObject> payload = nullptr);

 private:
  void Receive(TRefObject* payload);

  TEventBus* bus_;
  int32_t channel_ = 0;
  int32_t requestCounter_ = 0;  // main thread only
  TFirstFrame onFirstFrame_;
  TPosition onPosition_;
  TEvent onEvent_;
};

}  // namespace vyr

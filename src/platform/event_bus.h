#pragma once
// The application's event bus: any thread posts an event under a channel id; the main
// thread delivers the queued events to the channel's subscriber. A waker tells the main
// thread's loop that something is queued (the SDL loop pushes a user event).

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "foundation/ref_object.h"

namespace vyr {

class TEventBus {
 public:
  using THandler = std::function<void(TRefObject* payload)>;

  // A fresh channel id for a subscriber.
  int32_t AllocateId();
  // Main thread. A second subscription of a channel replaces the first.
  void Subscribe(int32_t channel, THandler handler);
  void Unsubscribe(int32_t channel);
  // Any thread: queues the payload and wakes the main loop.
  void Post(int32_t channel, TRef<TRefObject> payload);
  // Called after every post, on the posting thread.
  void SetWaker(std::function<void()> waker);
  // Main thread: delivers every event queued so far; events of channels without a
  // subscriber are dropped. The number delivered.
  int Dispatch();
  bool Empty() const;

 private:
  struct TQueued {
    int32_t channel;
    TRef<TRefObject> payload;
  };
  mutable std::mutex lock_;
  std::deque<TQueued> queue_;
  std::map<int32_t, THandler> handlers_;
  std::function<void()> waker_;
  int32_t nextId_ = 1000;
};

}  // namespace vyr

#include "platform/event_bus.h"

#include <utility>
#include <vector>

namespace vyr {

int32_t TEventBus::AllocateId() {
  std::lock_guard guard(lock_);
  return nextId_++;
}

void TEventBus::Subscribe(int32_t channel, THandler handler) {
  std::lock_guard guard(lock_);
  handlers_[channel] = std::move(handler);
}

void TEventBus::Unsubscribe(int32_t channel) {
  std::lock_guard guard(lock_);
  handlers_.erase(channel);
}

void TEventBus::Post(int32_t channel, TRef<TRefObject> payload) {
  std::function<void()> waker;
  {
    std::lock_guard guard(lock_);
    queue_.push_back({channel, std::move(payload)});
    waker = waker_;
  }
  if (waker) waker();
}

void TEventBus::SetWaker(std::function<void()> waker) {
  std::lock_guard guard(lock_);
  waker_ = std::move(waker);
}

int TEventBus::Dispatch() {
  int delivered = 0;
  for (;;) {
    TQueued item;
    THandler handler;
    {
      std::lock_guard guard(lock_);
      if (queue_.empty()) break;
      item = std::move(queue_.front());
      queue_.pop_front();
      if (auto it = handlers_.find(item.channel); it != handlers_.end()) handler = it->second;
    }
    // The handler runs outside the lock: it may post or unsubscribe.
    if (!handler) continue;
    handler(item.payload.Get());
    ++delivered;
  }
  return delivered;
}

bool TEventBus::Empty() const {
  std::lock_guard guard(lock_);
  return queue_.empty();
}

}  // namespace vyr

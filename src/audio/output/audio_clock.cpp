#include "audio/output/audio_clock.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <limits>

#include "foundation/log.h"

namespace vyr {

void TClockWaiter::Raise(unsigned bits) { clock_.Wake(*this, bits); }

void TAudioClock::Wake(TClockWaiter& waiter, unsigned bits) {
  std::lock_guard guard(waiter.lock_);
  waiter.bits_ |= bits;
  waiter.changed_.notify_all();
}

double TSystemClock::NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

unsigned TSystemClock::Wait(TClockWaiter& waiter, double timeoutMs) {
  std::unique_lock guard(waiter.lock_);
  waiter.changed_.wait_for(guard, std::chrono::duration<double, std::milli>(timeoutMs),
                           [&] { return waiter.bits_ != 0; });
  return std::exchange(waiter.bits_, 0u);
}

TAudioClock& TSystemClock::Instance() {
  static TSystemClock* clock = new TSystemClock();  // never freed: threads may outlive statics
  return *clock;
}

double TVirtualClock::NowMs() {
  std::lock_guard guard(lock_);
  return now_;
}

void TVirtualClock::Uncount(TClockWaiter& waiter) {
  // Called under lock_.
  if (!waiter.counted_) return;
  waiter.counted_ = false;
  --running_;
  settled_.notify_all();
}

void TVirtualClock::Enter(TClockWaiter& waiter) {
  std::lock_guard guard(lock_);
  if (waiter.counted_) return;
  waiter.counted_ = true;
  ++running_;
}

void TVirtualClock::Leave(TClockWaiter& waiter) {
  std::lock_guard guard(lock_);
  std::erase(parked_, &waiter);
  Uncount(waiter);
}

void TVirtualClock::Wake(TClockWaiter& waiter, unsigned bits) {
  {
    std::lock_guard guard(lock_);
    if (waiter.parked_ && !waiter.counted_) {
      waiter.counted_ = true;
      ++running_;
    }
  }
  TAudioClock::Wake(waiter, bits);
}

unsigned TVirtualClock::Wait(TClockWaiter& waiter, double timeoutMs) {
  {
    std::lock_guard guard(lock_);
    std::lock_guard waiterGuard(waiter.lock_);
    if (waiter.bits_ != 0) {
      Uncount(waiter);
      // Still running: the clock keeps waiting for this thread's next wait.
      waiter.counted_ = true;
      ++running_;
      return std::exchange(waiter.bits_, 0u);
    }
    waiter.deadline_ = now_ + std::max(timeoutMs, 0.0);
    waiter.fired_ = false;
    waiter.parked_ = true;
    parked_.push_back(&waiter);
    Uncount(waiter);
  }
  unsigned bits;
  {
    std::unique_lock guard(waiter.lock_);
    waiter.changed_.wait(guard, [&] { return waiter.bits_ != 0 || waiter.fired_; });
    bits = std::exchange(waiter.bits_, 0u);
  }
  std::lock_guard guard(lock_);
  std::erase(parked_, &waiter);
  waiter.parked_ = false;
  return bits;
}

double TVirtualClock::NextDeadline() {
  std::lock_guard guard(lock_);
  double next = std::numeric_limits<double>::infinity();
  for (const TClockWaiter* w : parked_)
    if (!w->fired_) next = std::min(next, w->deadline_);
  return next;
}

void TVirtualClock::Settle() {
  std::unique_lock guard(lock_);
  if (!settled_.wait_for(guard, std::chrono::milliseconds(kSettleLimitMs),
                         [&] { return running_ == 0; })) {
    WriteLine("Audio clock: a thread did not wait again in time");
    running_ = 0;
    for (TClockWaiter* w : parked_) w->counted_ = false;
  }
}

void TVirtualClock::AdvanceTo(double ms) {
  Settle();
  for (;;) {
    TClockWaiter* due = nullptr;
    {
      std::lock_guard guard(lock_);
      for (TClockWaiter* w : parked_)
        if (!w->fired_ && w->deadline_ <= ms && (!due || w->deadline_ < due->deadline_)) due = w;
      if (!due) {
        now_ = std::max(now_, ms);
        return;
      }
      now_ = std::max(now_, due->deadline_);
      if (!due->counted_) {
        due->counted_ = true;
        ++running_;
      }
      std::lock_guard waiterGuard(due->lock_);
      due->fired_ = true;
      due->changed_.notify_all();
    }
    Settle();
  }
}

}  // namespace vyr

#pragma once
// "Now" of the audio layer and the waits of its threads. The system clock is
// CLOCK_MONOTONIC; the virtual clock is the position of the samples a consumer has pulled,
// and its waits end when the consumer's pulls reach their deadline, so a mix can be
// rendered faster than real time with the timing it has when played.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "foundation/ref_object.h"

namespace vyr {

class TAudioClock;

// What one thread waits on: bits raised by other threads, or its clock's time-out.
class TClockWaiter {
 public:
  explicit TClockWaiter(TAudioClock& clock) : clock_(clock) {}
  TClockWaiter(const TClockWaiter&) = delete;
  TClockWaiter& operator=(const TClockWaiter&) = delete;
  // Wakes the waiting thread with these bits (they stay set until its next wait takes them).
  void Raise(unsigned bits);
  TAudioClock& Clock() const { return clock_; }

 private:
  friend class TAudioClock;
  friend class TSystemClock;
  friend class TVirtualClock;
  TAudioClock& clock_;
  std::mutex lock_;
  std::condition_variable changed_;
  unsigned bits_ = 0;
  bool fired_ = false;    // the clock ended the wait
  bool parked_ = false;   // waiting on a virtual deadline
  bool counted_ = false;  // the virtual clock waits for this thread to park again
  double deadline_ = 0;
};

class TAudioClock : public TRefObject {
 public:
  virtual double NowMs() = 0;
  // Waits until bits are raised or timeoutMs of this clock passed; returns the bits taken
  // (0 on time-out).
  virtual unsigned Wait(TClockWaiter& waiter, double timeoutMs) = 0;
  // A thread about to start, which the virtual clock waits for until its first wait.
  virtual void Enter(TClockWaiter&) {}
  // The waiter's thread ends.
  virtual void Leave(TClockWaiter&) {}
  virtual bool IsVirtual() const { return false; }

 protected:
  friend class TClockWaiter;
  virtual void Wake(TClockWaiter& waiter, unsigned bits);
};

class TSystemClock : public TAudioClock {
 public:
  double NowMs() override;
  unsigned Wait(TClockWaiter& waiter, double timeoutMs) override;
  // The process-wide system clock.
  static TAudioClock& Instance();
};

class TVirtualClock : public TAudioClock {
 public:
  double NowMs() override;
  unsigned Wait(TClockWaiter& waiter, double timeoutMs) override;
  void Enter(TClockWaiter& waiter) override;
  void Leave(TClockWaiter& waiter) override;
  bool IsVirtual() const override { return true; }

  // The earliest deadline of a parked thread (infinity when none).
  double NextDeadline();
  // Moves now to ms: every wait whose deadline is reached ends in deadline order, each
  // thread running until it waits again before the clock moves on.
  void AdvanceTo(double ms);
  // Waits until every woken or entering thread has parked again.
  void Settle();

  // A thread that does not park again within this real time is no longer waited for.
  static constexpr int kSettleLimitMs = 2000;

 protected:
  void Wake(TClockWaiter& waiter, unsigned bits) override;

 private:
  void Uncount(TClockWaiter& waiter);
  std::mutex lock_;
  std::condition_variable settled_;
  double now_ = 0;
  int running_ = 0;
  std::vector<TClockWaiter*> parked_;
};

}  // namespace vyr

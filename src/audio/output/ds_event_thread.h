#pragma once
// The service thread of a ring buffer: runs first once, then service on every wake and at
// least every period (100 ms) of its clock, until it is ended.

#include <functional>
#include <thread>

#include "audio/output/audio_clock.h"

namespace vyr {

class TDSEventThread {
 public:
  TDSEventThread(TAudioClock& clock, std::function<void()> first, std::function<void()> service,
                 double periodMs = kServicePeriodMs);
  ~TDSEventThread() { End(); }
  TDSEventThread(const TDSEventThread&) = delete;
  TDSEventThread& operator=(const TDSEventThread&) = delete;

  // Starts the thread (it is created suspended).
  void Resume();
  void Wake() { waiter_.Raise(kWakeBit); }
  // Signals the end and waits for the thread.
  void End();

  static constexpr double kServicePeriodMs = 100;

 private:
  static constexpr unsigned kEndBit = 1;
  static constexpr unsigned kWakeBit = 2;
  void Run();

  TClockWaiter waiter_;
  std::function<void()> first_, service_;
  double periodMs_;
  std::thread thread_;
};

}  // namespace vyr

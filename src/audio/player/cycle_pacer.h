#pragma once
// Paces the cycles of a worker thread on the audio layer's clock: on a device that is
// the monotonic clock; on the capture backend it is the virtual clock, so the player's
// and the loader's cycles keep the timing they have when played while a mix renders
// faster than real time. Messages for the thread wake it at once.

#include "audio/output/audio_clock.h"

namespace vyr {

class TCyclePacer {
 public:
  explicit TCyclePacer(TAudioClock& clock)
      : clock_(TRef<TAudioClock>::Share(&clock)), waiter_(clock) {}

  // Before the thread starts: the virtual clock waits for its first pause.
  void Enter() { clock_->Enter(waiter_); }
  // When the thread ends.
  void Leave() { clock_->Leave(waiter_); }
  // Ends the current or the next pause early.
  void Wake() { waiter_.Raise(1); }
  void Pause(double ms) { clock_->Wait(waiter_, ms); }

 private:
  TRef<TAudioClock> clock_;
  TClockWaiter waiter_;
};

}  // namespace vyr

#pragma once
// Present pacing of our own (the swap interval stays 0): before each present, sleep until
// about 3 ms before the next refresh instead of blocking in the driver.

#include <cstdint>

namespace vyr {

// Milliseconds to sleep before presenting: interval := 1000 / refresh; wait := interval +
// last present - now, limited to [1, interval]; the sleep is max(1, wait - 3).
int PacingSleepMs(int refreshRate, int64_t lastPresentMs, int64_t nowMs);

class TPresentPacer {
 public:
  // Sleeps as above (refresh rates of 0 or less count as 60 Hz).
  void WaitBeforePresent(int refreshRate);
  // Records the moment of a present.
  void Presented();

 private:
  int64_t lastPresent_ = 0;
};

}  // namespace vyr

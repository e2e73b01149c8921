#include "render/device/present_pacing.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/clock.h"

namespace vyr {

int PacingSleepMs(int refreshRate, int64_t lastPresentMs, int64_t nowMs) {
  const int64_t interval = 1000 / std::max(refreshRate, 1);
  const int64_t wait =
      std::clamp<int64_t>(interval + lastPresentMs - nowMs, 1, std::max<int64_t>(interval, 1));
  return static_cast<int>(std::max<int64_t>(1, wait - 3));
}

void TPresentPacer::WaitBeforePresent(int refreshRate) {
  const int sleep = PacingSleepMs(refreshRate > 0 ? refreshRate : 60, lastPresent_, TickCount());
  std::this_thread::sleep_for(std::chrono::milliseconds(sleep));
}

void TPresentPacer::Presented() { lastPresent_ = TickCount(); }

}  // namespace vyr

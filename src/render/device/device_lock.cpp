#include "render/device/device_lock.h"

namespace vyr {

std::recursive_mutex& DeviceMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::mutex& FrameLock() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace vyr

#pragma once
// The process-wide device mutex (held by every call that touches OpenGL) and the frame
// lock (held around each whole frame by the drawer).

#include <mutex>

namespace vyr {

std::recursive_mutex& DeviceMutex();
std::mutex& FrameLock();

using TDeviceLock = std::lock_guard<std::recursive_mutex>;

}  // namespace vyr

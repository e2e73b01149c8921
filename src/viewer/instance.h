#pragma once
// Recognising a second running instance of the same program file: a name computed from
// the program's path, held as an flock'ed lock file.

#include <cstdint>
#include <string>
#include <string_view>

namespace vyr {

// h := h * 16 + (low byte of each UTF-16 unit); the top four bits fold back into the low
// byte and are cleared.
uint32_t InstanceHash(std::u16string_view text);
// "Instance_ID" + h(path) + h(folder without trailing "/") + h(file name) + file name.
std::string InstanceName(std::string_view programPath);

// An exclusive lock on folder/name. Another process holding it means another instance.
class TInstanceLock {
 public:
  TInstanceLock() = default;
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;
  ~TInstanceLock() { Release(); }

  // True when this object now holds the lock; false when another holder has it or the
  // lock file cannot be opened (then no other instance is assumed: see AnotherRunning).
  bool Acquire(const std::string& folder, const std::string& name);
  void Release();
  bool Held() const { return fd_ >= 0; }
  // Acquire failed because another holder has the lock.
  bool AnotherRunning() const { return anotherRunning_; }

 private:
  int fd_ = -1;
  bool anotherRunning_ = false;
};

}  // namespace vyr

#include "viewer/window/screen_saver.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <filesystem>

#include "foundation/log.h"
#include "platform/process_paths.h"
#include "viewer/instance.h"

namespace vyr {
namespace {

bool saverEntered = false;
bool keepAwakeEntered = false;
bool heldOff = false;

std::string LockFolder() {
  std::error_code ignored;
  for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "TMP", "TEMP"})
    if (const char* value = std::getenv(name);
        value && std::filesystem::is_directory(value, ignored))
      return value;
  return "/tmp";
}

TInstanceLock& InstanceLock() {
  static TInstanceLock lock;
  return lock;
}

}  // namespace

bool EnterScreenSaverModes(bool screenSaverShow, bool startToken) {
  if (screenSaverShow) {
    TInstanceLock& lock = InstanceLock();
    if (!lock.Held() && !lock.Acquire(LockFolder(), InstanceName(ProgramPath())) &&
        lock.AnotherRunning())
      return false;
    if (!startToken) return false;
    if (!saverEntered) {
      saverEntered = true;
      SDL_DisableScreenSaver();
      WriteLine("Screen saver started");
    }
    return true;
  }
  if (!saverEntered && !keepAwakeEntered) keepAwakeEntered = true;
  return true;
}

bool HoldScreenSaverOff(bool playing) {
  const bool hold = keepAwakeEntered && playing;
  if (hold != heldOff) {
    heldOff = hold;
    if (hold)
      SDL_DisableScreenSaver();
    else
      SDL_EnableScreenSaver();
  }
  return heldOff;
}

void LeaveScreenSaverModes() {
  if (saverEntered || heldOff) SDL_EnableScreenSaver();
  saverEntered = keepAwakeEntered = heldOff = false;
  InstanceLock().Release();
}

}  // namespace vyr

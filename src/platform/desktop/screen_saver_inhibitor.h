#pragma once
// Keeps the desktop's screen saver and display blanking away while a show plays, through the
// org.freedesktop.ScreenSaver service of the session bus (Inhibit / UnInhibit). A service that
// goes away takes its inhibitions with it; when one comes (back) while the show plays, it is
// asked again.

#include <memory>

#include "platform/desktop/session_bus.h"

namespace vyr {

class TScreenSaverInhibitor {
 public:
  explicit TScreenSaverInhibitor(TSessionBus& bus);
  // Releases an inhibition still held.
  ~TScreenSaverInhibitor();
  TScreenSaverInhibitor(const TScreenSaverInhibitor&) = delete;
  TScreenSaverInhibitor& operator=(const TScreenSaverInhibitor&) = delete;

  // Main thread; the bus calls follow on the bus thread.
  void SetActive(bool active);

  struct TState;

 private:
  TSessionBus& bus_;
  std::shared_ptr<TState> state_;
  bool active_ = false;
};

}  // namespace vyr

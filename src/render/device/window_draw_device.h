#pragma once
// The draw device of the player's window: an SDL2 window with an OpenGL context. Exclusive
// full screen is SDL_WINDOW_FULLSCREEN, borderless full screen SDL_WINDOW_FULLSCREEN_DESKTOP.

#include <memory>
#include <string>

#include "platform/sdl_gl_window.h"
#include "render/device/draw_device.h"

namespace vyr {

class TWindowDrawDevice : public TDrawDevice {
 public:
  // Null when SDL video or the window cannot be had (no display).
  static TRef<TWindowDrawDevice> Create(const std::string& title, const TIntRect& bounds,
                                        bool hidden = false);
  std::unique_ptr<TGlContext> CreateContext() override;
  bool IsActive() override;
  void ApplyWindowMode(bool fullScreen, bool exclusive) override;
  // Reads the window's rectangle and client size from SDL into the device.
  void SyncBounds();
  TSdlGlWindow& Window() { return *window_; }

 protected:
  void Dispose() override;

 private:
  TWindowDrawDevice() = default;
  std::unique_ptr<TSdlGlWindow> window_;
  TIntRect remembered_;  // the window's rectangle before it went full screen
  bool videoStarted_ = false;
};

}  // namespace vyr

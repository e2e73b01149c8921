#pragma once
// An SDL2 window with an OpenGL 3.3 core context, and the displays SDL knows.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl_context.h"

struct SDL_Window;

namespace vyr {

struct TDisplayInfo {
  int left = 0, top = 0, right = 0, bottom = 0;  // monitor rectangle on the desktop
  int refreshRate = 0;                           // Hz; 0 when SDL does not know it
  int bitsPerPixel = 32;
  std::string name;
};

// Starts SDL's video subsystem (counted; each successful call needs one SdlVideoQuit).
bool SdlVideoInit();
void SdlVideoQuit();
// The displays of the running video subsystem; empty when SDL video is not initialised.
std::vector<TDisplayInfo> SdlDisplays();

// True when the window's Wayland compositor has gone away (SDL then only asks to quit).
bool CompositorLost(SDL_Window* window);

enum class TWindowMode { Windowed, Exclusive, Borderless };

class TSdlGlWindow {
 public:
  // Null when SDL video or the GL context cannot be had (for instance without a display).
  static std::unique_ptr<TSdlGlWindow> Create(const std::string& title, int left, int top,
                                              int width, int height, TWindowMode mode,
                                              bool hidden = false);
  ~TSdlGlWindow();
  TSdlGlWindow(const TSdlGlWindow&) = delete;
  TSdlGlWindow& operator=(const TSdlGlWindow&) = delete;

  // A fresh context on this window; swap interval 0 (the device paces presents itself).
  std::unique_ptr<TGlContext> CreateContext();
  // The colour (0xRRGGBB) the window shows from the moment it maps until the first frame
  // (where the X server cannot fill it, the first context presents it): set before the
  // window is shown.
  void SetBackgroundColour(uint32_t rgb);
  SDL_Window* Handle() const { return window_; }
  void Bounds(int& left, int& top, int& width, int& height) const;
  void SetMode(TWindowMode mode);
  TWindowMode Mode() const { return mode_; }
  bool HasFocus() const;

 private:
  TSdlGlWindow() = default;
  SDL_Window* window_ = nullptr;
  TWindowMode mode_ = TWindowMode::Windowed;
  uint32_t background_ = 0;
  bool presentBackground_ = false;
};

}  // namespace vyr

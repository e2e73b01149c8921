#include "platform/x11_threads.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace vyr {

void EnableX11Threads() { XInitThreads(); }

bool ActivateX11Window(unsigned long windowId) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XWindowAttributes attributes;
  bool done = false;
  // Errors about a window that went away must not end the program.
  auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  if (XGetWindowAttributes(display, windowId, &attributes)) {
    XMapRaised(display, windowId);
    XSetInputFocus(display, windowId, RevertToParent, CurrentTime);
    XSync(display, False);
    done = true;
  }
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return done;
}

}  // namespace vyr

namespace vyr {

unsigned long X11WindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<unsigned long>(info.info.x11.window);
}

namespace {

// A channel of 8 bits placed into the bits of a visual's mask.
unsigned long Channel(unsigned int value, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  int bits = 0;
  while (((mask >> (shift + bits)) & 1) != 0) ++bits;
  const unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8)
                                         : static_cast<unsigned long>(value) >> (8 - bits);
  return (scaled << shift) & mask;
}

}  // namespace

bool SetX11WindowBackground(SDL_Window* window, unsigned int rgb) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
    return false;
  Display* display = info.info.x11.display;
  const ::Window handle = info.info.x11.window;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, handle, &attributes) || !attributes.visual) return false;
  const Visual& visual = *attributes.visual;
  const unsigned long colours = visual.red_mask | visual.green_mask | visual.blue_mask;
  if (colours == 0) return false;  // a colour-mapped visual: GL windows never have one
  // A visual with alpha keeps its remaining bits: set, the colour is opaque.
  const unsigned long depthMask =
      attributes.depth >= 32 ? 0xFFFFFFFFul : (1ul << attributes.depth) - 1;
  const unsigned long pixel = Channel((rgb >> 16) & 0xFF, visual.red_mask) |
                              Channel((rgb >> 8) & 0xFF, visual.green_mask) |
                              Channel(rgb & 0xFF, visual.blue_mask) | (depthMask & ~colours);
  XSetWindowBackground(display, handle, pixel);
  XClearWindow(display, handle);
  XFlush(display);
  return true;
}

}  // namespace vyr

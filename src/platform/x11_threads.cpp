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

}  // namespace vyr

#include "platform/x11_threads.h"

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

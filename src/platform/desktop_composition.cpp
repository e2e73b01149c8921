#include "platform/desktop_composition.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

namespace vyr {

bool DesktopComposited() {
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) return true;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.c_str(), False);
  const bool composited = XGetSelectionOwner(display, selection) != None;
  XCloseDisplay(display);
  return composited;
}

}  // namespace vyr

#pragma once
// SDL's Wayland driver crashes inside its start-up on some compositors (seen with SDL 2.26
// under weston's headless backend). The driver is tried first in a child process, so the
// player itself never starts a driver that would take it down.

namespace vyr {

// True when SDL's Wayland video driver starts and finds a display on WAYLAND_DISPLAY's
// compositor; false when it fails, crashes or hangs (then after at most a few seconds).
bool WaylandVideoStarts();

}  // namespace vyr

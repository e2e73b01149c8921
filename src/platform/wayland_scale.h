#pragma once
// The scale a Wayland compositor gives its output, for the one DPI function.

#include <optional>

namespace vyr {

// The first output's scale: its current mode's width over its logical width (xdg-output), so a
// fractional scale (1.5) comes out as it is; the output's integer scale where the compositor
// gives no logical size. None without a compositor on WAYLAND_DISPLAY.
std::optional<double> WaylandOutputScale();

}  // namespace vyr

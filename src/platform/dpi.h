#pragma once
// The logical pixels per inch of the desktop, the scale of dialogs and navigation bars.
// Desktops scale by their logical DPI, never by the monitor's physical one.

#include <optional>
#include <string_view>

namespace vyr {

// VYR_DPI when set to a positive number; else the X server's "Xft.dpi" resource; else 96 x
// the desktop's scale factor (GDK_SCALE, else the Wayland output's scale, fractional too);
// else 96. Headless (no DISPLAY, no WAYLAND_DISPLAY)
// answers 96 unless VYR_DPI is set. Read once per call; cheap enough for start-up paths.
int ScreenDpi();

// The value of an "Xft.dpi" line in an X resource text ("Xft.dpi:\t120\n..."), if any.
std::optional<double> XftDpiFromResources(std::string_view resources);

}  // namespace vyr

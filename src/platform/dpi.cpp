#include "platform/dpi.h"

#include <X11/Xlib.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/wayland_scale.h"

namespace vyr {
namespace {

std::optional<double> PositiveNumber(const char* text) {
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || !std::isfinite(value) || value <= 0 || value > 10000) return std::nullopt;
  return value;
}

std::optional<double> XServerDpi() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return std::nullopt;
  Display* display = XOpenDisplay(name);
  if (!display) return std::nullopt;
  std::optional<double> dpi;
  if (const char* resources = XResourceManagerString(display)) dpi = XftDpiFromResources(resources);
  XCloseDisplay(display);
  return dpi;
}

}  // namespace

std::optional<double> XftDpiFromResources(std::string_view resources) {
  constexpr std::string_view kKey = "Xft.dpi:";
  size_t lineStart = 0;
  while (lineStart < resources.size()) {
    size_t lineEnd = resources.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = resources.size();
    const std::string_view line = resources.substr(lineStart, lineEnd - lineStart);
    if (line.substr(0, kKey.size()) == kKey) {
      const std::string value(line.substr(kKey.size()));
      return PositiveNumber(value.c_str());  // strtod skips the blanks
    }
    lineStart = lineEnd + 1;
  }
  return std::nullopt;
}

int ScreenDpi() {
  if (auto forced = PositiveNumber(std::getenv("VYR_DPI")))
    return static_cast<int>(std::lround(*forced));
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!x11 || !*x11) && (!wayland || !*wayland)) return 96;
  if (auto xft = XServerDpi()) return static_cast<int>(std::lround(*xft));
  if (auto scale = PositiveNumber(std::getenv("GDK_SCALE")))
    return static_cast<int>(std::lround(96 * *scale));
  if (auto scale = WaylandOutputScale(); scale && *scale > 0)
    return static_cast<int>(std::lround(96 * *scale));
  return 96;
}

}  // namespace vyr

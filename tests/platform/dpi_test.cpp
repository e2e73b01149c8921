#include "platform/dpi.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vyr {
namespace {

TEST(Dpi, XftResourceLine) {
  struct Case {
    const char* resources;
    std::optional<double> dpi;
  } cases[] = {
      {"Xft.dpi:\t120\n", 120},
      {"Xcursor.size:\t24\nXft.dpi: 144\nXft.hinting:\t1\n", 144},
      {"Xft.dpi:\t96", 96},
      {"Xft.antialias:\t1\n", std::nullopt},
      {"Xft.dpi:\tlots\n", std::nullopt},
      {"Xft.dpi:\t-5\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(XftDpiFromResources(c.resources), c.dpi) << c.resources;
}

TEST(Dpi, ForcedByEnvironmentElse96Headless) {
  const char* display = std::getenv("DISPLAY");
  const std::string savedDisplay = display ? display : "";
  setenv("VYR_DPI", "144", 1);
  EXPECT_EQ(ScreenDpi(), 144);
  unsetenv("VYR_DPI");
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_SCALE", "2", 1);
  EXPECT_EQ(ScreenDpi(), 96);  // headless: no desktop scale applies
  unsetenv("GDK_SCALE");
  if (display) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

}  // namespace
}  // namespace vyr

// The scale of a Wayland output reaches the one DPI function: a headless sway of the test's own
// at an integer and at a fractional scale.
#include "platform/dpi.h"
#include "show_window.h"

namespace vyr {
namespace {

using namespace test;

TEST(WaylandOutput, ScaleGivesTheLogicalDpi) {
  const std::string saved[] = {Env("DISPLAY"), Env("WAYLAND_DISPLAY")};
  ::unsetenv("DISPLAY");
  ::unsetenv("VYR_DPI");
  ::unsetenv("GDK_SCALE");
  const struct {
    const char* scale;
    int dpi;
  } cases[] = {{"1", 96}, {"2", 192}, {"1.5", 144}};
  for (const auto& c : cases) {
    TSway sway;
    if (const std::string why = sway.Start(c.scale); !why.empty()) GTEST_SKIP() << why;
    ::setenv("WAYLAND_DISPLAY", sway.Display().c_str(), 1);
    EXPECT_EQ(ScreenDpi(), c.dpi) << "scale " << c.scale;
  }
  // The compositor gone: the desktop default.
  ::setenv("WAYLAND_DISPLAY", "/nonexistent/wayland-9", 1);
  EXPECT_EQ(ScreenDpi(), 96);
  ::unsetenv("WAYLAND_DISPLAY");
  if (!saved[0].empty()) ::setenv("DISPLAY", saved[0].c_str(), 1);
  if (!saved[1].empty()) ::setenv("WAYLAND_DISPLAY", saved[1].c_str(), 1);
}

}  // namespace
}  // namespace vyr

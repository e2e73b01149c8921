// The SDL window device gives the same pixels as the headless one, and presents them the
// right way up. Runs only with a display (ctest runs it under xvfb-run).

#include <SDL2/SDL.h>

#include <cstdlib>

#include "headless_fixture.h"
#include "render/device/window_draw_device.h"
// Xlib's macros (None, Bool, ...) would clash with GoogleTest's names: include it last.
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vyr::test {
namespace {

TEST(WindowDevice, PresentsTheSamePixelsAsTheHeadlessDevice) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    GTEST_SKIP() << "no display (ctest runs this under xvfb-run)";
  constexpr int kW = 64, kH = 48;
  TRef<TWindowDrawDevice> window =
      TWindowDrawDevice::Create("vyr window test", {40, 40, 40 + kW, 40 + kH});
  if (!window) GTEST_SKIP() << "no SDL window: " << SDL_GetError();
  SDL_PumpEvents();
  ASSERT_EQ(window->ClientWidth(), kW);
  TRef<T3DScreen> screen = MakeRef<T3DScreen>();
  screen->Attach(window.Get());
  ASSERT_TRUE(screen->Renderer());
  ASSERT_TRUE(screen->BeginScene());
  std::vector<uint8_t> windowFrame;
  // A few frames: the first ones may go out before the server has mapped the window.
  for (int frame = 0; frame < 3; ++frame) {
    if (frame > 0) {
      ASSERT_TRUE(screen->BeginScene());
    }
    windowFrame = DrawTestFrame(*screen);
    ASSERT_TRUE(screen->EndScene(true));
    SDL_Delay(50);
    SDL_PumpEvents();
  }
  // What the X server shows in the window.
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  ASSERT_TRUE(SDL_GetWindowWMInfo(window->Window().Handle(), &info));
  if (info.subsystem != SDL_SYSWM_X11) GTEST_SKIP() << "not an X11 window";
  XImage* image =
      XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, kW, kH, AllPlanes, ZPixmap);
  ASSERT_TRUE(image);
  std::vector<uint8_t> topDown(static_cast<size_t>(kW * kH * 4));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const unsigned long p = XGetPixel(image, x, y);  // 0xRRGGBB on a 24-bit visual
      uint8_t* q = &topDown[static_cast<size_t>((y * kW + x) * 4)];
      q[0] = static_cast<uint8_t>(p & 0xFF);
      q[1] = static_cast<uint8_t>((p >> 8) & 0xFF);
      q[2] = static_cast<uint8_t>((p >> 16) & 0xFF);
      q[3] = 255;
    }
  XDestroyImage(image);
  EXPECT_EQ(topDown, windowFrame);

  TRef<THeadlessDrawDevice> headless = MakeRef<THeadlessDrawDevice>(kW, kH);
  TRef<T3DScreen> offscreen = MakeRef<T3DScreen>();
  offscreen->Attach(headless.Get());
  ASSERT_TRUE(offscreen->BeginScene());
  EXPECT_EQ(DrawTestFrame(*offscreen), windowFrame);
  offscreen->EndScene(false);
}

}  // namespace
}  // namespace vyr::test

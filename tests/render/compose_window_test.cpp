// A composed frame (cross-fade, perspective picture, bands) gives the same pixels in an SDL
// window as on the headless device. Runs only with a display (ctest runs it under xvfb-run).

#include <SDL2/SDL.h>

#include <cstdlib>

#include "compose_fixture.h"
#include "render/compose/overlay_draw_list.h"
#include "render/compose/root_item.h"
#include "render/device/bitmap_texture.h"
#include "render/device/window_draw_device.h"

namespace vyr::test {
namespace {

constexpr int kW = 64, kH = 48;

std::vector<uint8_t> ComposeFrame(TDrawDevice& device, TImage& picture) {
  TRef<T3DDrawer> drawer = MakeRef<T3DDrawer>();
  drawer->Attach(&device);
  drawer->SetCamera(TIntRect{6, 4, 58, 44}, kW, DefaultCamera(kW, kH));
  TRef<TRootItem> root = MakeRef<TRootItem>();
  TRef<TOverlayDrawList> overlay = MakeRef<TOverlayDrawList>(root.Get());
  TRef<TLambdaItem> leaving = MakeRef<TLambdaItem>([&](TDeviceDrawer& d) {
    TImageDrawParams p;
    p.placement.origin = TVec3{3.3f, 2.7f, 12};
    p.placement.axisX = TVec3{0.9f, 0.1f, 0.3f};
    p.pivotRect = TFloatRect{0, 0, 50, 40};
    d.DrawImage(picture, p);
  });
  root->SetItems({leaving, FlatSlide(0xFF2080FF, kW, kH), overlay});
  TRef<TVyrEffect> effect = MakeRef<TVyrEffect>();
  TRef<TVyrFilter> filter = MakeRef<TVyrFilter>(effect, 1000, 0.0f);
  filter->SetCurrentTime(400);
  root->SetFilter(filter);
  root->SetBackground(true, 0x304050);
  drawer->DrawItem(*root);
  TRef<T3DSurface> back = drawer->Screen().Renderer()->BackBuffer();
  EXPECT_TRUE(back);
  TRef<TBitmap> bitmap = back ? ReadSurfaceBitmap(*back) : nullptr;
  if (!bitmap) return {};
  return std::vector<uint8_t>(bitmap->Row(0), bitmap->Row(0) + kW * kH * 4);
}

TEST(WindowDevice, ComposedFrameMatchesTheHeadlessDevice) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    GTEST_SKIP() << "no display (ctest runs this under xvfb-run)";
  // Keep SDL's video subsystem up for the rest of the process: bringing it down and up again
  // between window tests loses the window-manager information of later windows.
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no SDL video: " << SDL_GetError();
  TRef<TImage> picture =
      MakePicture(37, 23, [](int x, int y) { return 0xFF000000u | (x * 7u) << 16 | (y * 11u); });
  TRef<TWindowDrawDevice> window =
      TWindowDrawDevice::Create("vyr compose test", {40, 40, 40 + kW, 40 + kH});
  if (!window) GTEST_SKIP() << "no SDL window: " << SDL_GetError();
  SDL_PumpEvents();
  const std::vector<uint8_t> windowFrame = ComposeFrame(*window, *picture);
  TRef<THeadlessDrawDevice> headless = MakeRef<THeadlessDrawDevice>(kW, kH);
  const std::vector<uint8_t> headlessFrame = ComposeFrame(*headless, *picture);
  ASSERT_EQ(windowFrame.size(), static_cast<size_t>(kW * kH * 4));
  EXPECT_EQ(windowFrame, headlessFrame);
}

}  // namespace
}  // namespace vyr::test

// Losing the device: the renderer reports it once, its objects go dead, and the screen
// makes a new renderer on the next frame where the device-independent textures come back.

#include "foundation/log.h"
#include "headless_fixture.h"

namespace vyr::test {
namespace {

class DeviceLossTest : public HeadlessTest {};

TEST_F(DeviceLossTest, LostRendererIsReplacedAndPicturesComeBack) {
  const uint8_t pixel[4] = {9, 99, 199, 255};
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(*screen, TTextureKind::Picture, pixel, 4, 1, 1);
  TRef<T3DTexture> oldTexture = TRef<T3DTexture>::Share(picture->DeviceTexture());
  TRef<T3DTexture> oldTarget = Renderer().CreateTexture(TTextureKind::TargetAlpha, 4, 4, false);
  ASSERT_TRUE(oldTexture && oldTarget);
  int lostCalls = 0;
  screen->SetLostCallback([&] { ++lostCalls; });
  std::vector<std::string> lines;
  TRef<TLog> log = MakeRef<TLog>();
  log->SetSink([&](const std::string& line) { lines.push_back(line); });
  SetGlobalLog(log);

  TRef<T3DRenderer> old = TRef<T3DRenderer>::Share(screen->Renderer());
  static_cast<T3DRendererGL&>(*old).SimulateLoss();
  SetGlobalLog(nullptr);
  EXPECT_EQ(lostCalls, 1);
  EXPECT_EQ(lines, (std::vector<std::string>{"Dx Error = 3", "T3DRenderer9: DEVICE LOST!"}));
  EXPECT_TRUE(old->IsLost());
  EXPECT_EQ(old->LastError(), TDeviceError::Lost);
  // Everything made on the lost device behaves as lost; nothing crashes.
  EXPECT_FALSE(old->BeginScene());
  EXPECT_FALSE(old->CreateTexture(TTextureKind::Picture, 4, 4, false));
  TLockedPixels read;
  EXPECT_FALSE(oldTarget->Level(0)->ReadInto(read));
  EXPECT_FALSE(oldTexture->WriteRect(0, TIntRect{0, 0, 1, 1}, pixel, 4));
  EXPECT_EQ(lostCalls, 1);

  screen->EndScene(false);
  ASSERT_TRUE(screen->BeginScene());
  ASSERT_NE(screen->Renderer(), old.Get());
  EXPECT_FALSE(screen->Renderer()->IsLost());
  EXPECT_FALSE(picture->HasDeviceTexture());
  TRef<T3DTexture> target = PushTarget(2, 2);
  DrawRaw(*picture->DeviceTexture(), picture->TexelScaleX(), picture->TexelScaleY());
  ExpectNear(ReadPixel(*target->Level(0), 1, 1), {9, 99, 199, 255});
  screen->PopRenderTarget();
}

TEST_F(DeviceLossTest, OutOfMemoryFailsTheCallButKeepsTheDevice) {
  Renderer().SimulateOutOfMemory(1);
  EXPECT_FALSE(Renderer().CreateTexture(TTextureKind::Picture, 64, 64, false));
  EXPECT_EQ(Renderer().LastError(), TDeviceError::OutOfVideoMemory);
  EXPECT_TRUE(Renderer().ErrorFlag());
  EXPECT_FALSE(Renderer().IsLost());
  EXPECT_TRUE(Renderer().CreateTexture(TTextureKind::Picture, 64, 64, false));
  EXPECT_EQ(Renderer().LastError(), TDeviceError::Ok);
}

TEST_F(DeviceLossTest, ScreenLetsGoOfADrawDeviceThatIsDestroyed) {
  screen->EndScene(false);
  TRef<T3DRenderer> renderer = TRef<T3DRenderer>::Share(screen->Renderer());
  device.Reset();  // the last reference: the device frees its dependents
  EXPECT_EQ(screen->Device(), nullptr);
  EXPECT_EQ(screen->Renderer(), nullptr);
  EXPECT_FALSE(screen->BeginScene());
  EXPECT_EQ(renderer->Device(), nullptr);
  EXPECT_FALSE(renderer->BeginScene());
  EXPECT_TRUE(renderer->IsLost());
}

TEST_F(DeviceLossTest, ResizedDeviceGetsANewRendererOfTheNewSize) {
  screen->EndScene(false);
  TRef<T3DRenderer> before = TRef<T3DRenderer>::Share(screen->Renderer());
  device->SetSize(40, 30);
  ASSERT_TRUE(screen->BeginScene());
  EXPECT_NE(screen->Renderer(), before.Get());
  int w = 0, h = 0;
  screen->CurrentTarget()->Size(w, h);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 30);
  EXPECT_EQ(screen->Camera().viewport, (TIntRect{0, 0, 40, 30}));
}

}  // namespace
}  // namespace vyr::test

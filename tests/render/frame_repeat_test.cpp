// The same frame drawn twice, on one device and on a fresh one, gives the same pixels.

#include <algorithm>

#include "headless_fixture.h"

namespace vyr::test {
namespace {

// A frame with a gradient picture scaled by a non-integer factor with linear filtering,
// a half-transparent vertex colour and a perspective quad.
std::vector<uint8_t> DrawFrame(T3DScreen& screen) {
  auto& renderer = static_cast<T3DRendererGL&>(*screen.Renderer());
  std::vector<uint8_t> gradient(37 * 23 * 4);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      uint8_t* p = &gradient[static_cast<size_t>((y * 37 + x) * 4)];
      p[0] = static_cast<uint8_t>(x * 7);
      p[1] = static_cast<uint8_t>(y * 11);
      p[2] = static_cast<uint8_t>((x * y) & 0xFF);
      p[3] = static_cast<uint8_t>(128 + x);
    }
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(screen, TTextureKind::Picture, gradient.data(), 37 * 4, 37, 23, true);
  screen.Clear(0xFF203040);
  T3DTexture* stages[] = {picture->DeviceTexture()};
  TRef<T3DVertexList> list = renderer.CreateVertexList(4, vcDiffuse, 1);
  TVertexRecord v[4];
  const float xs[4] = {3.3f, 57.1f, 3.3f, 57.1f}, ys[4] = {2.7f, 2.7f, 41.9f, 41.9f};
  const float zs[4] = {0, 30, 0, 30};
  for (int i = 0; i < 4; ++i) {
    v[i].x = xs[i];
    v[i].y = ys[i];
    v[i].z = zs[i];
    v[i].tex[0][0] = (i % 2) * 37 * picture->TexelScaleX();
    v[i].tex[0][1] = static_cast<float>(i / 2) * 23 * picture->TexelScaleY();
    v[i].diffuse = 0x80FFC0FF;
  }
  list->Fill(0, v, 4);
  list->SetPrimitive(0, 2, TPrimitiveType::TriangleStrip);
  renderer.DrawVertexList(stages, dfTextured | dfModulateColor | dfModulateAlpha, *list);
  TLockedPixels read;
  EXPECT_TRUE(screen.CurrentTarget()->ReadInto(read));
  return read.storage;
}

class FrameRepeatTest : public HeadlessTest {};

TEST_F(FrameRepeatTest, SameFrameTwiceIsIdentical) {
  const std::vector<uint8_t> first = DrawFrame(*screen);
  ASSERT_EQ(first.size(), static_cast<size_t>(kWidth * kHeight * 4));
  EXPECT_EQ(DrawFrame(*screen), first);
  // Not a blank frame: the picture is there.
  EXPECT_NE(std::count(first.begin(), first.end(), first[0]), static_cast<long>(first.size()));

  TRef<THeadlessDrawDevice> otherDevice = MakeRef<THeadlessDrawDevice>(kWidth, kHeight);
  TRef<T3DScreen> other = MakeRef<T3DScreen>();
  other->Attach(otherDevice.Get());
  ASSERT_TRUE(other->BeginScene());
  EXPECT_EQ(DrawFrame(*other), first);
  other->EndScene(false);
}

}  // namespace
}  // namespace vyr::test

// The render-target stack, the camera's projection and the quad drawing it positions.

#include "foundation/exceptions.h"
#include "headless_fixture.h"
#include "scene/camera.h"

namespace vyr::test {
namespace {

class RenderTargetTest : public HeadlessTest {};

TEST_F(RenderTargetTest, PushAndPopRestoreTargetViewportAndCamera) {
  TRef<T3DSurface> back = TRef<T3DSurface>::Share(screen->CurrentTarget());
  ASSERT_TRUE(screen->Clear(0xFF00FF00));  // back buffer green
  TRef<T3DTexture> a = PushTarget(16, 8);
  ASSERT_TRUE(screen->Clear(0xFFFF0000));
  EXPECT_FLOAT_EQ(screen->PixelScaleX(), 1.0f / 16);
  EXPECT_FLOAT_EQ(screen->PixelScaleY(), 1.0f / 8);
  TRef<T3DTexture> b = PushTarget(4, 4);
  ASSERT_TRUE(screen->Clear(0xFF0000FF));
  EXPECT_EQ(screen->RenderTargetDepth(), 3);
  screen->PopRenderTarget();
  EXPECT_TRUE(screen->CurrentTarget()->SameAs(*a->Level(0)));
  EXPECT_FLOAT_EQ(screen->PixelScaleX(), 1.0f / 16);
  // Drawing now reaches A, not B and not the back buffer.
  auto quad = Quad(0, 0, 2, 2, 0, 0, 1, 1, 0xFFFFFFFF);
  ASSERT_TRUE(Renderer().DrawVertexList({}, 0, *quad));
  ExpectNear(ReadPixel(*a->Level(0), 1, 1), {255, 255, 255, 255});
  ExpectNear(ReadPixel(*a->Level(0), 5, 5), {0, 0, 255, 255});
  ExpectNear(ReadPixel(*b->Level(0), 1, 1), {255, 0, 0, 255});
  screen->PopRenderTarget();
  EXPECT_EQ(screen->RenderTargetDepth(), 1);
  EXPECT_EQ(screen->Camera().viewport, (TIntRect{0, 0, kWidth, kHeight}));
  ExpectNear(ReadPixel(*back, 1, 1), {0, 255, 0, 255});
  // The back buffer always stays.
  EXPECT_THROW(screen->PopRenderTarget(), EAssertionFailed);
}

TEST_F(RenderTargetTest, OffsetTargetsReceiveWhatLandsAtTheirOrigin) {
  TRef<T3DTexture> target = Renderer().CreateTexture(TTextureKind::TargetAlpha, 8, 8, false);
  ASSERT_TRUE(screen->PushRenderTarget(target->Level(0).Get(), 20, 10));
  ASSERT_TRUE(screen->Clear(0));
  auto quad = Quad(20, 10, 22, 12, 0, 0, 1, 1, 0xFFFF0000);
  ASSERT_TRUE(Renderer().DrawVertexList({}, 0, *quad));
  TLockedPixels read;
  ASSERT_TRUE(target->Level(0)->ReadInto(read));
  ExpectNear(Pixel(read, 0, 0), {0, 0, 255, 255});
  ExpectNear(Pixel(read, 1, 1), {0, 0, 255, 255});
  ExpectNear(Pixel(read, 2, 2), {0, 0, 0, 0});
  screen->PopRenderTarget();
}

TEST_F(RenderTargetTest, ClearRectanglesFillOnlyThem) {
  TRef<T3DTexture> target = PushTarget(8, 8);
  const TIntRect rects[] = {{0, 0, 2, 2}, {6, 5, 8, 8}};
  ASSERT_TRUE(screen->ClearRects(rects, 2, 0x80402010));
  TLockedPixels read;
  ASSERT_TRUE(target->Level(0)->ReadInto(read));
  ExpectNear(Pixel(read, 1, 1), {0x10, 0x20, 0x40, 0x80});
  ExpectNear(Pixel(read, 7, 5), {0x10, 0x20, 0x40, 0x80});
  ExpectNear(Pixel(read, 3, 3), {0, 0, 0, 0});
  ExpectNear(Pixel(read, 7, 4), {0, 0, 0, 0});
  screen->PopRenderTarget();
}

TEST_F(RenderTargetTest, CopyRectsCopiesPixelsUnfiltered) {
  TRef<T3DTexture> source = PushTarget(4, 4);
  const TIntRect spot{1, 1, 2, 2};
  ASSERT_TRUE(screen->ClearRects(&spot, 1, 0xFF112233));
  screen->PopRenderTarget();
  TRef<T3DTexture> destination = Renderer().CreateTexture(TTextureKind::TargetAlpha, 8, 8, false);
  const TIntRect from{0, 0, 4, 4}, to{0, 0, 8, 8};
  ASSERT_TRUE(Renderer().CopyRects(*source->Level(0), *destination->Level(0), 1, &from, &to));
  TLockedPixels read;
  ASSERT_TRUE(destination->Level(0)->ReadInto(read));
  ExpectNear(Pixel(read, 2, 2), {0x33, 0x22, 0x11, 0xFF});
  ExpectNear(Pixel(read, 3, 3), {0x33, 0x22, 0x11, 0xFF});
  ExpectNear(Pixel(read, 4, 4), {0, 0, 0, 0});
}

TEST(Camera, ProjectsThePlaneZeroOneToOneAndFartherPointsTowardTheEye) {
  const TCamera camera = DefaultCamera(200, 100);  // eye (100, 50, -100)
  const TVec3 onPlane = ProjectPoint(camera, {30, 20, 0});
  EXPECT_FLOAT_EQ(onPlane.x, 30);
  EXPECT_FLOAT_EQ(onPlane.y, 20);
  EXPECT_FLOAT_EQ(onPlane.z, 100);
  const TVec3 far = ProjectPoint(camera, {0, 0, 100});  // twice as far: halfway to the centre
  EXPECT_FLOAT_EQ(far.x, 50);
  EXPECT_FLOAT_EQ(far.y, 25);
  const TVec3 behind = ProjectPoint(camera, {101, 50, -100});  // on the camera plane
  EXPECT_FLOAT_EQ(behind.z, 1e-6f);
  EXPECT_FLOAT_EQ(behind.x, 100 + 1e8f);
}

TEST(Camera, UnprojectFindsThePointOfAPlaneBehindAScreenPoint) {
  const TCamera camera = DefaultCamera(200, 100);
  TVec3 hit;
  // The plane z = 100 (through three of its points): screen (50, 25) shows (0, 0, 100).
  ASSERT_TRUE(UnprojectPoint(camera, 50, 25, {0, 0, 100}, {1, 0, 100}, {0, 1, 100}, hit));
  EXPECT_NEAR(hit.x, 0, 1e-3);
  EXPECT_NEAR(hit.y, 0, 1e-3);
  EXPECT_NEAR(hit.z, 100, 1e-3);
  // A plane seen edge-on has no such point.
  EXPECT_FALSE(UnprojectPoint(camera, 50, 50, {0, 50, 0}, {1, 50, 0}, {0, 50, 1}, hit));
  TCamera flat = camera;
  flat.eye.z = 0;
  try {
    UnprojectPoint(flat, 1, 1, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, hit);
    FAIL() << "an eye on the screen plane must be refused";
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(std::string(e.what()).find("'  Camera.Z = 0  '"), std::string::npos);
  }
}

TEST_F(RenderTargetTest, TheDeviceDrawsWhereTheCameraProjects) {
  // A 16 x 16 square at depth = height (twice the eye distance) shows at half size, pulled
  // halfway toward the centre: CPU projection and GPU transform agree.
  TRef<T3DTexture> target = PushTarget(kWidth, kHeight);
  const float z = kHeight;
  auto quad = Quad(0, 0, 16, 16, 0, 0, 1, 1, 0xFFFFFFFF, z);
  ASSERT_TRUE(Renderer().DrawVertexList({}, 0, *quad));
  const TVec3 topLeft = screen->Project({0, 0, z}), bottomRight = screen->Project({16, 16, z});
  EXPECT_FLOAT_EQ(topLeft.x, kWidth / 4.0f);
  EXPECT_FLOAT_EQ(bottomRight.x, kWidth / 4.0f + 8);
  TLockedPixels read;
  ASSERT_TRUE(target->Level(0)->ReadInto(read));
  const int x0 = static_cast<int>(topLeft.x), y0 = static_cast<int>(topLeft.y);
  ExpectNear(Pixel(read, x0, y0), {255, 255, 255, 255});
  ExpectNear(Pixel(read, x0 + 7, y0 + 7), {255, 255, 255, 255});
  ExpectNear(Pixel(read, x0 + 8, y0 + 8), {0, 0, 0, 0});
  ExpectNear(Pixel(read, x0 - 1, y0), {0, 0, 0, 0});
  screen->PopRenderTarget();
}

}  // namespace
}  // namespace vyr::test

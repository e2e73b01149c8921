// Power-of-two allocation, reduced levels, eviction when a render target does not fit,
// and uploads prepared on another thread.

#include <thread>

#include "foundation/log.h"
#include "headless_fixture.h"
#include "render/device/mip_levels.h"

namespace vyr::test {
namespace {

TEST(CustomTextureSize, AllocatesPowersOfTwoOfAtLeast32) {
  const std::pair<int, int> cases[] = {{1, 32}, {32, 32}, {33, 64}, {1000, 1024}, {4096, 4096}};
  for (auto [size, allocated] : cases) EXPECT_EQ(AllocatedTextureSize(size), allocated) << size;
}

TEST(MipLevels, EachLevelIsTheRoundedBoxAverageOfTheOneAbove) {
  // 2 x 2 A8R8G8B8: per channel, alpha included.
  TPixelLevel argb{{0, 10, 255, 0, 1, 10, 255, 255, 2, 20, 0, 0, 3, 21, 0, 255}, 2, 2, 8};
  TPixelLevel half = HalveLevel(argb, TSurfaceFormat::A8R8G8B8);
  ASSERT_EQ(half.width, 1);
  ASSERT_EQ(half.height, 1);
  EXPECT_EQ(half.bits, (std::vector<uint8_t>{2, 15, 128, 128}));  // (6+2)/4, (61+2)/4, ...
  // A column one pixel wide averages its pairs of rows.
  TPixelLevel column{{10, 21, 30, 40}, 1, 4, 1};
  half = HalveLevel(column, TSurfaceFormat::L8);
  EXPECT_EQ(half.height, 2);
  EXPECT_EQ(half.bits, (std::vector<uint8_t>{16, 35}));
  // R5G6B5 averages its channels, not its bytes.
  const uint16_t a = (31 << 11) | (0 << 5) | 1, b = (0 << 11) | (63 << 5) | 2;
  TPixelLevel packed{{}, 2, 1, 4};
  packed.bits = {static_cast<uint8_t>(a), static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(b),
                 static_cast<uint8_t>(b >> 8)};
  half = HalveLevel(packed, TSurfaceFormat::R5G6B5);
  const uint16_t v = static_cast<uint16_t>(half.bits[0] | (half.bits[1] << 8));
  EXPECT_EQ(v >> 11, 16);        // (31 + 31 + 0 + 0 + 2) / 4
  EXPECT_EQ((v >> 5) & 63, 32);  // (0 + 0 + 63 + 63 + 2) / 4
  EXPECT_EQ(v & 31, 2);          // (1 + 1 + 2 + 2 + 2) / 4
}

class CustomTextureTest : public HeadlessTest {
 protected:
  TRef<TCustomTexture> Picture(uint8_t blue) {
    const uint8_t pixel[4] = {blue, 0, 0, 255};
    return MakeRef<TPixelTexture>(*screen, TTextureKind::Picture, pixel, 4, 1, 1);
  }
};

TEST_F(CustomTextureTest, MipmappedPictureLevelsAreBoxAverages) {
  if (!Engine3D().CapsValue("raster", 0)) GTEST_SKIP() << "no anisotropic filtering: one level";
  std::vector<uint8_t> pixels(64 * 64 * 4);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = &pixels[static_cast<size_t>((y * 64 + x) * 4)];
      p[0] = static_cast<uint8_t>(x * 4);  // blue follows x
      p[1] = static_cast<uint8_t>(y * 4);  // green follows y
      p[2] = 0;
      p[3] = 255;
    }
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(*screen, TTextureKind::Picture, pixels.data(), 256, 64, 64, true);
  T3DTexture* texture = picture->DeviceTexture();
  ASSERT_TRUE(texture);
  ASSERT_EQ(texture->LevelCount(), 7);
  TRef<T3DSurface> level1 = texture->Level(1);
  int w = 0, h = 0;
  level1->Size(w, h);
  EXPECT_EQ(w, 32);
  // Level 1 pixel (3, 5) averages x 6..7 and y 10..11: blue (24 + 28 + 2) / 4 ... per channel.
  ExpectNear(ReadPixel(*level1, 3, 5),
             {(24 + 28 + 24 + 28 + 2) / 4, (40 + 40 + 44 + 44 + 2) / 4, 0, 255});
}

TEST_F(CustomTextureTest, TargetThatDoesNotFitEvictsPicturesFromTheEndHalfAtATime) {
  struct Case {
    int failures;
    int kept;  // pictures 0 .. kept-1 keep their device texture
    bool made;
    std::vector<std::string> lines;
  };
  // Each failed creation logs its error class (2: out of video memory) first.
  const std::string oom = "Dx Error = 2";
  const std::vector<Case> cases = {
      {1,
       4,
       true,
       {oom, "Rt Create First Attempt Ok= False",
        "Released Managed Texs from 7 to 4; Rt Create 1nd Attempt Ok= True"}},
      {3,
       1,
       true,
       {oom, "Rt Create First Attempt Ok= False", oom,
        "Released Managed Texs from 7 to 4; Rt Create 1nd Attempt Ok= False", oom,
        "Released Managed Texs from 3 to 2; Rt Create 2nd Attempt Ok= False",
        "Released Managed Texs from 1 to 1; Rt Create 3nd Attempt Ok= True"}},
      {9,
       1,
       false,
       {oom, "Rt Create First Attempt Ok= False", oom,
        "Released Managed Texs from 7 to 4; Rt Create 1nd Attempt Ok= False", oom,
        "Released Managed Texs from 3 to 2; Rt Create 2nd Attempt Ok= False", oom,
        "Released Managed Texs from 1 to 1; Rt Create 3nd Attempt Ok= False"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failures);
    std::vector<TRef<TCustomTexture>> pictures;
    for (int i = 0; i < 8; ++i) {
      pictures.push_back(Picture(static_cast<uint8_t>(i)));
      ASSERT_TRUE(pictures.back()->DeviceTexture());
    }
    std::vector<std::string> lines;
    TRef<TLog> log = MakeRef<TLog>();
    log->SetSink([&](const std::string& line) { lines.push_back(line); });
    SetGlobalLog(log);
    Renderer().SimulateOutOfMemory(c.failures);
    TRef<TCustomTexture> target =
        MakeRef<TCustomTexture>(*screen, TTextureKind::TargetAlpha, 100, 100);
    const bool made = target->DeviceTexture() != nullptr;
    SetGlobalLog(nullptr);
    Renderer().SimulateOutOfMemory(0);
    EXPECT_EQ(made, c.made);
    EXPECT_EQ(lines, c.lines);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(pictures[i]->HasDeviceTexture(), i < c.kept) << i;
    // An evicted picture comes back, with its pixels, when it is used again.
    TRef<T3DTexture> check = PushTarget(1, 1);
    DrawRaw(*pictures[7]->DeviceTexture(), pictures[7]->TexelScaleX(), pictures[7]->TexelScaleY());
    ExpectNear(ReadPixel(*check->Level(0), 0, 0), {7, 0, 0, 255});
    screen->PopRenderTarget();
  }
}

TEST_F(CustomTextureTest, LoaderThreadPreparesAndTheDrawingThreadUploadsInBands) {
  constexpr int kSide = 1024;  // 4 MiB: several upload bands
  std::vector<uint8_t> pixels(static_cast<size_t>(kSide) * kSide * 4, 0);
  for (int y = 0; y < kSide; ++y)
    pixels[(static_cast<size_t>(y) * kSide + (kSide - 1)) * 4 + 2] =
        static_cast<uint8_t>(y);  // red in the last column follows the row
  TRef<TCustomTexture> picture = MakeRef<TPixelTexture>(*screen, TTextureKind::Picture,
                                                        pixels.data(), kSide * 4, kSide, kSide);
  bool madeOffThread = true;
  std::thread loader([&] {
    madeOffThread = picture->DeviceTexture() != nullptr;  // no OpenGL off the drawing thread
    picture->Preload();
  });
  loader.join();
  EXPECT_FALSE(madeOffThread);
  EXPECT_FALSE(picture->Uploaded());
  int steps = 0;
  while (screen->UploadPending(0) > 0) ++steps;  // one band per call with no time to spare
  EXPECT_GE(steps, 2);
  ASSERT_TRUE(picture->Uploaded());
  TRef<T3DTexture> target = PushTarget(1, 1);
  // The texel of the last column, row 700.
  const float u = (kSide - 0.5f) / kSide, v = 700.5f / kSide;
  picture->DeviceTexture()->SetFilter(TFilter::Point);
  T3DTexture* stages[] = {picture->DeviceTexture()};
  picture->DeviceTexture()->premultiplied = true;
  auto quad = Quad(0, 0, 1, 1, u, v, u, v);
  ASSERT_TRUE(Renderer().DrawVertexList(stages, dfTextured, *quad));
  ExpectNear(ReadPixel(*target->Level(0), 0, 0), {0, 0, 700 % 256, 0});
  screen->PopRenderTarget();
}

}  // namespace
}  // namespace vyr::test

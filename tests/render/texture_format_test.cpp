// Each texture kind uploads its memory layout and samples the values its format fixes.

#include <cstring>

#include "headless_fixture.h"
#include "render/device/bitmap_texture.h"

namespace vyr::test {
namespace {

struct KindCase {
  const char* name;
  TTextureKind kind;
  std::vector<uint8_t> pixel;  // one pixel in the kind's memory layout
  TBgra expected;              // what sampling gives
  int tolerance;
};

// Picture kinds go through TPixelTexture (allocated 32 x 32, uploaded at once); render
// target kinds are written directly.
class TextureFormatTest : public HeadlessTest {};

TEST_F(TextureFormatTest, EachKindSamplesTheValuesItsFormatFixes) {
  // R5G6B5: red 16/31, green 40/63, blue 8/31 in one little-endian word.
  const uint16_t rgb565 = static_cast<uint16_t>((16 << 11) | (40 << 5) | 8);
  const std::vector<KindCase> cases = {
      {"A8R8G8B8 picture", TTextureKind::Picture, {10, 20, 30, 200}, {10, 20, 30, 200}, 0},
      {"X8R8G8B8 target: alpha forced to 1",
       TTextureKind::TargetOpaque,
       {40, 50, 60, 7},
       {40, 50, 60, 255},
       0},
      {"A8R8G8B8 target", TTextureKind::TargetAlpha, {70, 80, 90, 100}, {70, 80, 90, 100}, 0},
      {"L8: grey, opaque", TTextureKind::GreyPicture, {77}, {77, 77, 77, 255}, 0},
      {"R5G6B5: channels scaled to 8 bits",
       TTextureKind::Picture565,
       {static_cast<uint8_t>(rgb565 & 0xFF), static_cast<uint8_t>(rgb565 >> 8)},
       {8 * 255 / 31 + 1, 40 * 255 / 63 + 1, 16 * 255 / 31 + 1, 255},
       1},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int bpp = static_cast<int>(c.pixel.size());
    std::vector<uint8_t> block;  // 2 x 2 of the same pixel
    for (int i = 0; i < 4; ++i) block.insert(block.end(), c.pixel.begin(), c.pixel.end());
    TRef<TCustomTexture> picture;
    TRef<T3DTexture> texture;
    float u1 = 1, v1 = 1;
    if (IsManagedKind(c.kind)) {
      picture = MakeRef<TPixelTexture>(*screen, c.kind, block.data(), 2 * bpp, 2, 2);
      texture = TRef<T3DTexture>::Share(picture->DeviceTexture());
      u1 = 2 * picture->TexelScaleX();
      v1 = 2 * picture->TexelScaleY();
    } else {
      texture = Renderer().CreateTexture(c.kind, 2, 2, false);
      ASSERT_TRUE(texture);
      ASSERT_TRUE(texture->WriteRect(0, TIntRect{0, 0, 2, 2}, block.data(), 2 * bpp));
    }
    ASSERT_TRUE(texture);
    TRef<T3DTexture> target = PushTarget(4, 4);
    DrawRaw(*texture, u1, v1);
    ExpectNear(ReadPixel(*target->Level(0), 1, 2), c.expected, c.tolerance);
    screen->PopRenderTarget();
  }
}

TEST_F(TextureFormatTest, ReadingAnOpaqueTargetGivesFullAlpha) {
  TRef<T3DTexture> target = Renderer().CreateTexture(TTextureKind::TargetOpaque, 4, 4, false);
  const uint8_t pixel[4] = {1, 2, 3, 4};
  ASSERT_TRUE(target->WriteRect(0, TIntRect{1, 1, 2, 2}, pixel, 4));
  TLockedPixels read;
  ASSERT_TRUE(target->Level(0)->ReadInto(read));
  EXPECT_EQ(read.format, TSurfaceFormat::A8R8G8B8);
  ExpectNear(Pixel(read, 1, 1), {1, 2, 3, 255});
  EXPECT_EQ(target->Level(0)->PixelFormat(), "A8R8G8B8");
}

TEST_F(TextureFormatTest, PictureRowsKeepTheirPlaceTopRowFirst) {
  // 2 x 2: red, green / blue, white. Drawn over an 8 x 8 target each lands in its quadrant.
  const uint8_t pixels[16] = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255};
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(*screen, TTextureKind::Picture, pixels, 8, 2, 2);
  TRef<T3DTexture> target = PushTarget(8, 8);
  DrawRaw(*picture->DeviceTexture(), 2 * picture->TexelScaleX(), 2 * picture->TexelScaleY());
  TLockedPixels read;
  ASSERT_TRUE(target->Level(0)->ReadInto(read));
  ExpectNear(Pixel(read, 1, 1), {0, 0, 255, 255});
  ExpectNear(Pixel(read, 6, 1), {0, 255, 0, 255});
  ExpectNear(Pixel(read, 1, 6), {255, 0, 0, 255});
  ExpectNear(Pixel(read, 6, 6), {255, 255, 255, 255});
  screen->PopRenderTarget();
}

TEST_F(TextureFormatTest, LockedWritesReachTheTextureAndReadOnlyLocksChangeNothing) {
  TRef<T3DTexture> target = Renderer().CreateTexture(TTextureKind::TargetAlpha, 4, 4, false);
  TRef<T3DSurface> level = target->Level(0);
  const TIntRect rect{2, 1, 4, 3};
  TLockedPixels pixels;
  ASSERT_TRUE(level->Lock(&rect, false, pixels));
  ASSERT_EQ(pixels.width, 2);
  ASSERT_EQ(pixels.height, 2);
  for (int y = 0; y < 2; ++y) std::memset(pixels.Row(y), 0x40, 8);
  level->Unlock(pixels);
  ASSERT_TRUE(level->Lock(&rect, true, pixels));
  std::memset(pixels.Row(0), 0xEE, 8);
  level->Unlock(pixels);
  ExpectNear(ReadPixel(*level, 3, 1), {0x40, 0x40, 0x40, 0x40});
  ExpectNear(ReadPixel(*level, 2, 2), {0x40, 0x40, 0x40, 0x40});
}

TEST_F(TextureFormatTest, VolumeTextureKeepsItsSlices) {
  TRef<TVolumeTexture> volume = Renderer().CreateVolumeTexture(2, 2, 3);
  ASSERT_TRUE(volume);
  TLockedPixels box;
  ASSERT_TRUE(volume->LockBox(0, TBox{0, 0, 0, 2, 2, 3}, box));
  ASSERT_EQ(box.height, 6);  // 3 slices of 2 rows
  for (int row = 0; row < 6; ++row)
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = box.Row(row) + 4 * x;
      p[0] = static_cast<uint8_t>(row);
      p[1] = static_cast<uint8_t>(x);
      p[2] = 9;
      p[3] = 255;
    }
  volume->UnlockBox(0, box);
  ASSERT_TRUE(volume->LockBox(0, TBox{1, 0, 2, 2, 2, 3}, box));  // last slice, right column
  ASSERT_EQ(box.width, 1);
  ASSERT_EQ(box.height, 2);
  EXPECT_EQ(box.Row(1)[0], 5);
  EXPECT_EQ(box.Row(1)[1], 1);
}

}  // namespace
}  // namespace vyr::test

namespace vyr::test {
namespace {

class BitmapTextureTest : public HeadlessTest {};

TEST_F(BitmapTextureTest, BitmapsOfOtherFormatsAreConvertedAndFramesReadIntoBitmaps) {
  // R8G8B8 (stored B, G, R): the picture texture gets alpha 255.
  TRef<TBitmap> bitmap = MakeRef<TDirectBitmap>(2, 1, PixelFormat("R8G8B8"));
  const uint8_t row[6] = {1, 2, 3, 4, 5, 6};
  std::memcpy(bitmap->Row(0), row, 6);
  TRef<TCustomTexture> picture = MakeRef<TBitmapTexture>(*screen, TTextureKind::Picture, bitmap);
  TRef<T3DTexture> target = PushTarget(2, 1);
  DrawRaw(*picture->DeviceTexture(), 2 * picture->TexelScaleX(), picture->TexelScaleY());
  TRef<TBitmap> read = ReadSurfaceBitmap(*target->Level(0));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Format()->Name(), "A8R8G8B8");
  EXPECT_EQ(read->Width(), 2);
  const uint8_t* p = read->Row(0);
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]}),
            (std::vector<int>{1, 2, 3, 255, 4, 5, 6, 255}));
  screen->PopRenderTarget();
}

}  // namespace
}  // namespace vyr::test

#include <gtest/gtest.h>

#include <cstring>

#include "gif_writer.h"
#include "imaging/decode/gif_decoder.h"
#include "imaging/decode/imaging_log.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using namespace vyr::testing;

uint32_t Argb(const TBitmap& b, int x, int y) {
  uint32_t v;
  std::memcpy(&v, b.Row(y) + x * 4, 4);
  return v;
}

TRef<TImage> DecodeBytes(const std::vector<uint8_t>& bytes, const std::string& name) {
  return DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), name);
}

// Compares with ImageMagick; fully transparent pixels compare by alpha only.
void ExpectSamePixels(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& theirs,
                      const std::string& what) {
  ASSERT_EQ(ours.size(), theirs.size()) << what;
  for (size_t i = 0; i < ours.size(); i += 4) {
    if (ours[i + 3] == 0 && theirs[i + 3] == 0) continue;
    ASSERT_EQ(std::memcmp(&ours[i], &theirs[i], 4), 0) << what << " pixel " << i / 4;
  }
}

TEST(GifDecoder, FirstFrameMatchesImageMagick) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  const std::string cases[] = {
      "rose:",
      "rose: -interlace GIF",
      "rose: -fuzz 15% -transparent '#FFFFFF'",
      "-size 64x48 gradient:red-blue -colors 7",
  };
  int n = 0;
  for (const auto& args : cases) {
    const std::string file = dir + "/g" + std::to_string(n++) + ".gif";
    RunTool(std::string(kConvert) + " " + args + " " + file);
    auto image = DecodeFile(file);
    ASSERT_TRUE(image) << args;
    EXPECT_EQ(image->Format(), pf::A8R8G8B8());
    ExpectSamePixels(BitmapRgba(*image->Bitmap()), MagickRgba(file), args);
  }
}

TEST(GifDecoder, LocalTablesAndTransparencyPerFrame) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string dir = TempDir();
  const std::string file = dir + "/local.gif";
  // +map gives every frame its own table.
  RunTool(std::string(kConvert) + " -size 20x10 gradient:yellow-green -size 20x10 " +
          "gradient:red-blue -fuzz 10% -transparent red +map " + file);
  auto atlas = DecodeFile(file, file + "|framesatlas");
  ASSERT_TRUE(atlas);
  auto bitmap = atlas->Bitmap();
  ASSERT_EQ(bitmap->Width(), 40);
  // The second cell against ImageMagick's second frame.
  auto second = MakeRef<TDirectBitmap>(20, 10, pf::A8R8G8B8());
  second->CopyRect({0, 0, 20, 10}, *bitmap, {20, 0});
  const std::string secondFile = dir + "/second.rgba";
  RunTool(std::string(kConvert) + " '" + file + "[1]' -depth 8 rgba:" + secondFile);
  const auto ours = BitmapRgba(*second);
  const auto theirs = ReadFile(secondFile);
  // Transparent pixels of frame 2 are filled from frame 1 (its disposal is 0).
  ASSERT_EQ(ours.size(), theirs.size());
  const auto first = MagickRgba(file);
  for (size_t i = 0; i < ours.size(); i += 4) {
    const auto& expect = theirs[i + 3] == 0 ? first : theirs;
    ASSERT_EQ(std::memcmp(&ours[i], &expect[i], 4), 0) << "pixel " << i / 4;
  }
}

TEST(GifDecoder, AtlasFollowsTheDisposalRules) {
  VYR_REQUIRE_TOOL(kConvert);
  const std::string file = TempDir() + "/anim.gif";
  // Frame 0 red screen (disposal 1), frame 1 blue 2x2 at (1,1) (disposal 2), frame 2 lime
  // pixel at (0,0) (disposal 3), frame 3 yellow pixel at (3,3).
  RunTool(std::string(kConvert) +
          " -loop 0 -delay 7 -dispose None -size 4x4 xc:red"
          " -dispose Background -page 4x4+1+1 -size 2x2 xc:blue"
          " -dispose Previous -page 4x4+0+0 -size 1x1 xc:lime"
          " -dispose None -page 4x4+3+3 -size 1x1 xc:yellow " +
          file);
  auto image = DecodeFile(file, file + "|framesatlas");
  ASSERT_TRUE(image);
  auto* tag = image->Store().FindTag<TTilesTag>();
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->frameCount, 4);
  EXPECT_EQ(tag->frameWidth, 4);
  EXPECT_EQ(tag->durations, "70,70,70,70");
  EXPECT_EQ(tag->totalDuration, 280);
  EXPECT_EQ(tag->repeatCount, 0);
  auto atlas = image->Bitmap();
  ASSERT_EQ(atlas->Width(), 16);
  const uint32_t R = 0xFFFF0000, B = 0xFF0000FF, L = 0xFF00FF00, Y = 0xFFFFFF00;
  auto cell = [&](int i, int x, int y) { return Argb(*atlas, i * 4 + x, y); };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool inBlue = x >= 1 && x <= 2 && y >= 1 && y <= 2;
      EXPECT_EQ(cell(0, x, y), R);
      EXPECT_EQ(cell(1, x, y), inBlue ? B : R) << x << "," << y;
      // Frame 1's rectangle stays cleared after its disposal 2.
      const uint32_t two = x == 0 && y == 0 ? L : inBlue ? 0 : R;
      EXPECT_EQ(cell(2, x, y) >> 24 ? cell(2, x, y) : 0u, two) << x << "," << y;
      // Disposal 3 restores the last frame with disposal 1: frame 0.
      EXPECT_EQ(cell(3, x, y), x == 3 && y == 3 ? Y : R) << x << "," << y;
    }

  // As a plain ".gif" the same file is its first frame.
  auto still = DecodeFile(file);
  ASSERT_TRUE(still);
  EXPECT_EQ(still->Width(), 4);
  EXPECT_FALSE(still->Store().FindTag<TTilesTag>());
}

TEST(GifDecoder, DurationsRepeatCountAndAnimationWithoutLooping) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000};
  TGifWriter looped(2, 1, palette);
  looped.Loop(65535);
  for (int i = 0; i < 10; ++i) {
    looped.Control(0, i == 9 ? 7 : 0);
    looped.Image(0, 0, 2, 1, {1, 1});
  }
  auto image = DecodeBytes(looped.Finish(), "a.gif|framesatlas");
  ASSERT_TRUE(image);
  auto* tag = image->Store().FindTag<TTilesTag>();
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->frameCount, 10);
  EXPECT_EQ(tag->durations, "50,50,50,50,50,50,50,50,50,70");
  EXPECT_EQ(tag->totalDuration, 520);
  EXPECT_EQ(tag->averageDuration, 52);
  EXPECT_EQ(tag->repeatCount, 0);
  EXPECT_EQ(image->Width(), 20);

  TGifWriter twoFrames(2, 1, palette);
  twoFrames.Image(0, 0, 2, 1, {1, 1});
  twoFrames.Image(0, 0, 2, 1, {0, 0});
  auto two = DecodeBytes(twoFrames.Finish(), "b.gif|framesatlas");
  ASSERT_TRUE(two && two->Store().FindTag<TTilesTag>());
  EXPECT_EQ(two->Store().FindTag<TTilesTag>()->repeatCount, 1);

  TGifWriter oneFrame(2, 1, palette);
  oneFrame.Image(0, 0, 2, 1, {1, 1});
  auto one = DecodeBytes(oneFrame.Finish(), "c.gif|framesatlas");
  ASSERT_TRUE(one);
  EXPECT_FALSE(one->Store().FindTag<TTilesTag>());
}

TEST(GifDecoder, FirstFrameIgnoresOffsetsAndBackgroundIndexIsTransparent) {
  const std::vector<uint32_t> palette = {0x112233, 0x445566, 0x778899};
  // GIF87a, background index 1, no graphic control extension.
  TGifWriter gif(10, 10, palette, 1, "87a");
  gif.Image(5, 6, 3, 1, {0, 1, 2});
  auto image = DecodeBytes(gif.Finish(), "x.gif");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 3);
  EXPECT_EQ(image->Height(), 1);
  auto b = image->Bitmap();
  EXPECT_EQ(Argb(*b, 0, 0), 0xFF112233u);
  EXPECT_EQ(Argb(*b, 1, 0) >> 24, 0u);
  EXPECT_EQ(Argb(*b, 2, 0), 0xFF778899u);
}

TEST(GifDecoder, BadInputKeepsWhatWasDecoded) {
  std::vector<std::string> log;
  SetImagingLogSink([&](const std::string& line) { log.push_back(line); });
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000};
  // A code out of range after two pixels: they stay, the rest is transparent.
  TGifWriter outOfRange(4, 1, palette);
  outOfRange.Image(0, 0, 4, 1, {}, {256, 1, 1, 400, 1, 257});
  auto image = DecodeBytes(outOfRange.Finish(), "x.gif");
  ASSERT_TRUE(image);
  auto b = image->Bitmap();
  EXPECT_EQ(Argb(*b, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Argb(*b, 1, 0), 0xFFFF0000u);
  EXPECT_EQ(Argb(*b, 2, 0), 0u);
  EXPECT_EQ(Argb(*b, 3, 0), 0u);

  // Data cut inside the image.
  TGifWriter whole(8, 8, palette);
  whole.Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1));
  auto bytes = whole.Finish();
  bytes.resize(bytes.size() - 80);  // inside the image data
  auto truncated = DecodeBytes(bytes, "x.gif");
  ASSERT_TRUE(truncated);
  EXPECT_EQ(Argb(*truncated->Bitmap(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Argb(*truncated->Bitmap(), 7, 7), 0u);
  EXPECT_NE(std::find(log.begin(), log.end(), "GIFWarning: OutOfData! "), log.end());

  // A 65535 x 65535 screen: the atlas would be too large, the first frame is answered.
  TGifWriter huge(65535, 65535, palette);
  huge.Loop(0);
  huge.Image(0, 0, 2, 1, {1, 1});
  huge.Image(0, 0, 2, 1, {1, 1});
  auto first = DecodeBytes(huge.Finish(), "x.gif|framesatlas");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Width(), 2);
  // An image of 65535 x 65535 with a few bytes of data is not decoded at all.
  TGifWriter giant(65535, 65535, palette);
  giant.Image(0, 0, 65535, 65535, {1});
  EXPECT_FALSE(DecodeBytes(giant.Finish(), "x.gif"));
  // Not a GIF, or a header cut short.
  EXPECT_FALSE(DecodeBytes({'G', 'I', 'F', '9', '0', 'a', 0, 0, 0, 0, 0, 0, 0}, "x.gif"));
  EXPECT_FALSE(DecodeBytes({'G', 'I', 'F', '8', '9', 'a', 1}, "x.gif"));
  SetImagingLogSink(nullptr);
}

}  // namespace
}  // namespace vyr

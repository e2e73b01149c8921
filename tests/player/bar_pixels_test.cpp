#include <gtest/gtest.h>

#include "player/bar_fixture.h"
#include "player/overlay/bar_pixels.h"
#include "player/overlay/bar_values.h"
#include "player/overlay/bmp_cache.h"
#include "player/overlay/nine_patch.h"

namespace vyr::test {
namespace {

TEST(BarPixels, CompositingTable) {
  struct TCase {
    uint32_t source, destination, expected;
  };
  // Worked by hand from A = 255 - (255 - a)(255 - b) div 255, w = b(255 - a) div 255,
  // c = ((w d + a s) k) shr 20 with k = round(2^20 / A), 4112 raised to 4113.
  const TCase cases[] = {
      {0x00FF0000, 0x80112233, 0x80112233},  // a = 0 keeps the destination
      {0xFF102030, 0x80FFFFFF, 0xFF102030},  // a = 255 replaces
      {0x40AABBCC, 0x00FFFFFF, 0x40AABBCC},  // b = 0 replaces, alpha included
      {0x80FF0000, 0xFF0000FF, 0xFF80007F},  // A = 255, w = 127, k = 4113
      {0x80FF0000, 0x800000FF, 0xC0A90053},  // A = 192, w = 63, k = 5461
      {0x01FFFFFF, 0x01000000, 0x027F7F7F},  // A = 2, w = 0, k = 524288
  };
  for (const TCase& c : cases)
    EXPECT_EQ(CompositeBarPixel(c.source, c.destination), c.expected)
        << std::hex << c.source << " over " << c.destination;
}

TEST(BarPixels, LooksAndHue) {
  EXPECT_EQ(GreyPixel(0xC0FF3000), 0xC0656565u);      // (255 + 48 + 0) div 3 = 101
  EXPECT_EQ(DisabledPixel(0xC0FF3000), 0x30656565u);  // alpha shr 2
  EXPECT_EQ(ShiftPixelHue(0xFFFF0000, 120), 0xFF00FF00u);
  EXPECT_EQ(ShiftPixelHue(0x80FF0000, 240), 0x800000FFu);  // alpha stays
  EXPECT_EQ(ShiftPixelHue(0xFF808080, 90), 0xFF808080u);   // grey has no hue
  // Lightness 150, saturation 100 x 255 / 211; hue 0 + 128 lands at 3.01 sixths.
  EXPECT_EQ(ShiftPixelHue(0xFFC86464, 180), 0xFF64C7C8u);
}

TEST(BarPixels, ValueLists) {
  EXPECT_EQ(SplitValueList(" 1, \"a,b\" ,3").size(), 3u);
  const TRectValue r = ParseRectValue("2, 3, 10, x");
  EXPECT_EQ(r.parts, 4);
  EXPECT_EQ(r.rect.left, 2);
  EXPECT_EQ(r.rect.right, 12);
  EXPECT_EQ(r.rect.bottom, 3);  // a part that is not a number counts as 0
  EXPECT_EQ(ParseRectValue("1,2,3").parts, 3);
  EXPECT_EQ(ParseSizeValue("40,20").x, 40);
  EXPECT_EQ(ParseSizeValue("40,20,1").x, 0);
  EXPECT_EQ(ParseSizeValue("40,x").y, 0);
}

TEST(BarPixels, NinePatchKeepsCornersAndStretchesTheMiddle) {
  // 6 x 2: two red columns on the left, a green middle, two blue columns on the right.
  TNinePatch patch{PatternPicture(6, 2,
                                  [](int x, int) {
                                    return x < 2 ? 0xFFFF0000u : x < 4 ? 0xFF00FF00u : 0xFF0000FFu;
                                  }),
                   2, 0, 2, 0};
  auto target = FlatBarPicture(20, 2, 0);
  patch.Draw(*target, TRect{0, 0, 20, 2});
  EXPECT_EQ(PixelAt(target.Get(), 1, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(target.Get(), 10, 1), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(target.Get(), 18, 0), 0xFF0000FFu);
  // Narrower than both margins: they meet at (0 + 3 + 2 - 2) div 2 = 1.
  int splits[4];
  NinePatchSplits(0, 3, 2, 2, splits);
  EXPECT_EQ(splits[1], 1);
  EXPECT_EQ(splits[2], 1);
}

TEST(BarPixels, TextureCacheLoadsOncePerNameAndCutsOncePerLook) {
  int loads = 0;
  TBmpCache cache([&](const std::string&) {
    ++loads;
    return FlatBarPicture(8, 8, 0xC0FF3000);
  });
  const TNavTexture plain = cache.Texture("Skin/A.png", TRect{2, 2, 6, 6}, TTextureLook::Plain);
  EXPECT_EQ(plain.rect.left, 2);
  const TNavTexture grey = cache.Texture("skin/a.PNG", TRect{2, 2, 6, 6}, TTextureLook::Grey);
  const TNavTexture again = cache.Texture("skin/a.png", TRect{2, 2, 6, 6}, TTextureLook::Grey);
  const TNavTexture disabled =
      cache.Texture("skin/a.png", TRect{2, 2, 6, 6}, TTextureLook::Disabled);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(grey.picture.Get(), again.picture.Get());
  EXPECT_EQ(grey.rect.left, 0);
  EXPECT_EQ(grey.rect.right, 4);
  EXPECT_EQ(PixelAt(grey.picture.Get(), 0, 0), 0xC0656565u);
  EXPECT_EQ(PixelAt(disabled.picture.Get(), 3, 3), 0x30656565u);
}

}  // namespace
}  // namespace vyr::test

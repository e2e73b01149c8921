// Button picture names, piece entries, theme files, the width rule and the colour shift.

#include <gtest/gtest.h>

#include <cmath>

#include "imaging/bitmap/bitmap_factory.h"
#include "project/ini/ini.h"
#include "scene/button/button_compose.h"
#include "scene/button/button_name.h"
#include "scene/button/button_theme.h"
#include "scene/button/button_width.h"

namespace vyr {
namespace {

TEST(ButtonName, WritesAndReadsTheValues) {
  const TButtonPictureRequest r{"aqua", kButtonHover, 104, -30, 50, -100};
  EXPECT_EQ(ButtonPictureName(r), "Button: aqua:1:104:-30:50:-100");
  EXPECT_EQ(ParseButtonPictureName(ButtonPictureName(r)), r);
  const TButtonPictureRequest bad = ParseButtonPictureName("Button: blue:x:12.5");
  EXPECT_EQ(bad.theme, "blue");
  EXPECT_EQ(bad.state, 0);
  EXPECT_EQ(bad.width, 0);
  EXPECT_EQ(bad.lightness, 0);
  EXPECT_EQ(ParseButtonPictureName("Button: ").theme, "");
  EXPECT_FALSE(IsButtonPictureName("Shadow: 1"));
}

TEST(ButtonTheme, PieceEntriesReadZeroForWhatDoesNotParse) {
  struct TCase {
    const char* text;
    const char* file;
    TIntRect rect;
  };
  const TCase cases[] = {
      {"lt.png,1,2,3,4", "lt.png", {1, 2, 3, 4}},
      {"lt.png,a,2,,4.5", "lt.png", {0, 2, 0, 0}},
      {"only.png", "only.png", {0, 0, 0, 0}},
      {"", "", {0, 0, 0, 0}},
      {"x.png,99999999999,-5,7,8,9", "x.png", {0, -5, 7, 8}},
      {"x.png,2000000000,0,-2000000000,1", "x.png", {1 << 20, 0, -(1 << 20), 1}},
  };
  for (const TCase& c : cases) {
    const TButtonPiece piece = ParsePieceEntry(c.text);
    EXPECT_EQ(piece.fileName, c.file) << c.text;
    EXPECT_EQ(piece.rect, c.rect) << c.text;
  }
}

TEST(ButtonTheme, ReadsStatesAndTextParams) {
  TIniFile file;
  file.LoadFromUtf8(
      "[NormalState]\nRight=r.png,100,5,120,35\nBottom=b.png,5,30,115,40\n"
      "[ClickState]\nCenter=c.png,5,5,115,35\n"
      "[TextParams]\nColor=#102030\nBtnOffset=12.5\nBtnMinWidth=300\nFiltering=bilinear\n");
  const TButtonTheme t = ReadButtonTheme(file);
  EXPECT_EQ(t.referenceWidth, 120);
  EXPECT_EQ(t.referenceHeight, 40);
  EXPECT_EQ(t.Piece(kButtonClick, kPieceCenter).fileName, "c.png");
  EXPECT_EQ(t.Piece(kButtonHover, kPieceCenter).fileName, "");  // missing section
  EXPECT_EQ(t.captionColor, 0xFF102030u);
  EXPECT_DOUBLE_EQ(t.btnOffset, 12.5);
  EXPECT_DOUBLE_EQ(t.btnMinWidth, 300);
  EXPECT_EQ(t.filtering, TButtonFiltering::Bilinear);

  TIniFile empty;
  const TButtonTheme d = ReadButtonTheme(empty);
  EXPECT_EQ(d.captionColor, 0xFF000000u);  // black
  EXPECT_EQ(d.filtering, TButtonFiltering::Default);
  EXPECT_EQ(d.referenceHeight, 0);
}

TEST(ButtonWidth, CaptionPlusMarginNeverNarrowerThanHeightOrMinimum) {
  // H 40, caption aspect 2 at Scale.X 80, BtnOffsetX 100: (40 - 8) x 2 + 40 = 104.
  EXPECT_EQ(ButtonWidth(40, 0, 80, 2, 100), 104);
  EXPECT_EQ(ButtonWidth(40, 259, 80, 2, 100), 104);  // 103.6 rounds to 104
  EXPECT_EQ(ButtonWidth(40, 300, 80, 2, 100), 120);  // the theme's minimum
  EXPECT_EQ(ButtonWidth(40, 0, 80, 0.1, 0), 40);     // never narrower than the height
  EXPECT_EQ(ButtonWidth(40, 0, 80, 1e300, 100), kMaxButtonWidth);
  EXPECT_EQ(ButtonWidth(40, std::nan(""), 80, 2, 100), 104);
}

uint32_t ShiftedPixel(uint32_t pixel, int hue, int saturation, int lightness) {
  TRef<TBitmap> b = CreateSysBitmap(1, 1, pf::A8R8G8B8());
  *reinterpret_cast<uint32_t*>(b->Row(0)) = pixel;
  ShiftButtonColours(*b, hue, saturation, lightness, {});
  return *reinterpret_cast<const uint32_t*>(b->Row(0));
}

int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

TEST(ButtonColours, HueSaturationLightness) {
  const uint32_t red = 0x80FF0000;
  EXPECT_EQ(ShiftedPixel(red, 0, 0, 0), red);
  const uint32_t turned = ShiftedPixel(0xFF3366CC, 360, 0, 0);  // a whole turn: unchanged
  for (int shift : {0, 8, 16}) EXPECT_NEAR(Channel(turned, shift), Channel(0xFF3366CC, shift), 1);
  const uint32_t third = ShiftedPixel(red, 120, 0, 0);  // trunc(120 x 256 / 360) = 85 of 256
  EXPECT_LE(Channel(third, 16), 6);
  EXPECT_GE(Channel(third, 8), 250);
  const uint32_t grey = ShiftedPixel(0xC03366CC, 0, -100, 0);
  EXPECT_EQ(Channel(grey, 16), Channel(grey, 8));
  EXPECT_EQ(Channel(grey, 8), Channel(grey, 0));
  EXPECT_EQ(grey >> 24, 0xC0u);  // alpha kept
  EXPECT_EQ(ShiftedPixel(0xFF3366CC, 0, 0, 100) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(ShiftedPixel(0xFF3366CC, 0, 0, -100) & 0xFFFFFF, 0u);
  const uint32_t huge = ShiftedPixel(0xFF3366CC, 2000000000, 2000000000, 0);  // no overflow
  EXPECT_EQ(huge >> 24, 0xFFu);
}

}  // namespace
}  // namespace vyr

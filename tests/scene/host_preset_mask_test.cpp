// Preset masks: name parsing and rewriting, and pixel values worked out by hand from the
// eased-band formula 255 - round(e((F + D - R) / F) x 255).

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host_show_fixture.h"
#include "package/container/load_callback.h"
#include "scene/host/preset_mask.h"
#include "scene/host/slide_host.h"

namespace vyr {
namespace {

using test::GreyAt;

TEST(HostPresetMaskTest, NameParsingKeepsDefaultsForFieldsThatDoNotParse) {
  struct TCase {
    const char* fields;
    int32_t width, height;
    TPresetMaskKind kind;
    double feather, radius;
  };
  const TCase cases[] = {
      {"", 512, 512, TPresetMaskKind::RoundedRectangle, 0, 0},
      {"300: 200: 1: 12.5:  7", 300, 200, TPresetMaskKind::Ellipse, 12.5, 7},
      {"abc:x:1:y:z", 512, 512, TPresetMaskKind::Ellipse, 0, 0},
      {"64:32:2:10:20", 64, 32, TPresetMaskKind::RoundedRectangle, 10, 20},
      {"64:32:-1", 64, 32, TPresetMaskKind::RoundedRectangle, 0, 0},
      {"64", 64, 512, TPresetMaskKind::RoundedRectangle, 0, 0},
      {"64:32:1:10x:20", 64, 32, TPresetMaskKind::Ellipse, 0, 20},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.fields);
    const TPresetMaskParams p = ParsePresetMaskName(c.fields);
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.height, c.height);
    EXPECT_EQ(p.kind, c.kind);
    EXPECT_DOUBLE_EQ(p.feather, c.feather);
    EXPECT_DOUBLE_EQ(p.radius, c.radius);
  }
}

TEST(HostPresetMaskTest, NameIsRewrittenFromTheParsedValuesInFixedNotation) {
  EXPECT_EQ(PresetMaskName(ParsePresetMaskName(" 256: 128:1:12.50000:0")),
            "PresetedMask:256:128:1:12.5:0");
  EXPECT_EQ(PresetMaskName(ParsePresetMaskName("junk:10:5:1e2:2.5e-1")),
            "PresetedMask:512:10:0:100:0.25");
  TPresetMaskParams third;
  third.feather = 1.0 / 3;
  third.radius = 1e-17;  // below the sixteenth decimal
  EXPECT_EQ(PresetMaskName(third), "PresetedMask:512:512:0:0.3333333333333333:0");
}

TEST(HostPresetMaskTest, RoundedRectangleWithoutRadiusIsWhiteWhateverTheFeather) {
  for (double feather : {0.0, 50.0, 100.0, 400.0}) {
    TPresetMaskParams p;
    p.width = 9;
    p.height = 7;
    p.feather = feather;
    TRef<TDirectBitmap> mask = GeneratePresetMask(p, nullptr);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Format(), pf::R8G8B8());
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        ASSERT_EQ(test::PixelAt(*mask, x, y), 0xFFFFFFFFu) << x << "," << y;
  }
}

// 512 x 256, feather 10: s = 128, F = 12.8, R = cx = 255.5; the vertical distance counts
// twice (width / height = 2).
TEST(HostPresetMaskTest, EllipseFadesOverTheOuterPartOfItsHorizontalHalfAxis) {
  TPresetMaskParams p;
  p.width = 512;
  p.height = 256;
  p.kind = TPresetMaskKind::Ellipse;
  p.feather = 10;
  TRef<TDirectBitmap> mask = GeneratePresetMask(p, nullptr);
  ASSERT_TRUE(mask);
  struct TCase {
    int x, y, grey;
  };
  const TCase cases[] = {
      {0, 127, 0},      // D = sqrt(255.5^2 + 1) > R
      {5, 127, 78},     // D = 250.502, t = 0.6095, e = 0.6950: 255 - 177
      {8, 127, 183},    // D = 247.502, t = 0.3752, e = 0.2815: 255 - 72
      {12, 127, 253},   // D = 243.502, t = 0.0627, e = 0.0079: 255 - 2
      {13, 127, 255},   // D = 242.502 < R - F = 242.7
      {256, 128, 255},  // the centre
      {256, 0, 1},      // D = 255.0005, t = 0.9609, e = 0.9969: 255 - 254
      {256, 2, 63},     // D = 251.0005, t = 0.6484, e = 0.7527: 255 - 192
      {511, 128, 0},    // mirrored edge: D = 255.502
      {506, 128, 78},   // mirror of (5, 127)
  };
  for (const TCase& c : cases) EXPECT_EQ(GreyAt(*mask, c.x, c.y), c.grey) << c.x << "," << c.y;
  EXPECT_EQ(test::PixelAt(*mask, 5, 127), 0xFF4E4E4Eu);  // grey in all three channels
}

// 100 x 80, radius 50, feather 20: s = 40, c = 20, F = 20 x 20 / 100 + 1 = 5.
TEST(HostPresetMaskTest, RoundedRectangleCornersBandsAndMiddle) {
  TPresetMaskParams p;
  p.width = 100;
  p.height = 80;
  p.feather = 20;
  p.radius = 50;
  TRef<TDirectBitmap> mask = GeneratePresetMask(p, nullptr);
  ASSERT_TRUE(mask);
  struct TCase {
    int x, y, grey;
  };
  const TCase cases[] = {
      {0, 0, 0},      // corner square: D = 28.28 from (20, 20) > 20
      {10, 10, 255},  // D = 14.14 < 15
      {6, 6, 1},      // D = 19.80, t = 0.960: 255 - 254
      {5, 10, 79},    // D = 18.03, t = 0.606, e = 0.689: 255 - 176
      {19, 19, 255},  // D = 1.41
      {99, 79, 0},    // bottom-right square, centre (79, 59)
      {93, 73, 1},    // mirror of (6, 6)
      {94, 10, 79},   // top-right square, mirror of (5, 10)
      {50, 2, 82},    // top band: D = |2 - 39.5| = 37.5, R = 39.5, t = 0.6, e = 0.68
      {50, 0, 0},     // D = R: t = 1
      {1, 40, 20},    // left band: D = 48.5, R = 49.5, t = 0.8, e = 0.92: 255 - 235
      {98, 40, 20},   // right band, mirrored
      {50, 40, 255},  // the middle
      {20, 20, 255},  // first pixel outside the corner square and the bands
  };
  for (const TCase& c : cases) EXPECT_EQ(GreyAt(*mask, c.x, c.y), c.grey) << c.x << "," << c.y;
}

TEST(HostPresetMaskTest, BandValueEdges) {
  EXPECT_EQ(PresetMaskValue(10.0001, 10, 0), 0);
  EXPECT_EQ(PresetMaskValue(9.9999, 10, 0), 255);
  EXPECT_EQ(PresetMaskValue(10, 10, 0), 255);  // a band of width 0: the boundary is inside
  EXPECT_EQ(PresetMaskValue(10, 10, 4), 0);    // t = 1
  EXPECT_EQ(PresetMaskValue(8, 10, 4), 127);   // t = 0.5, e = 0.5: 255 - round(127.5)
  EXPECT_EQ(PresetMaskValue(6, 10, 4), 255);   // t = 0
}

TEST(HostPresetMaskTest, AbsurdSizesAndGiantRadiiStayBounded) {
  TPresetMaskParams p;
  p.width = 100000;
  p.height = 100000;
  EXPECT_FALSE(GeneratePresetMask(p, nullptr));
  p.width = 0;
  p.height = 10;
  EXPECT_FALSE(GeneratePresetMask(p, nullptr));
  p.width = 16;
  p.height = 8;
  p.radius = 1e300;
  p.feather = -1e300;
  EXPECT_TRUE(GeneratePresetMask(p, nullptr));
  p.radius = std::nan("");
  EXPECT_TRUE(GeneratePresetMask(p, nullptr));
}

TEST(HostPresetMaskTest, TheLoadYieldHookStopsTheGeneration) {
  int rows = 0;
  TPresetMaskParams p;
  p.width = 8;
  p.height = 6;
  EXPECT_FALSE(GeneratePresetMask(p, [&] { return ++rows < 3; }));
  EXPECT_EQ(rows, 3);

  test::TMemoryShow show;
  auto host = MakeRef<TVyrSlideHost>(show.files, THostSettings{});
  SetLoadCallBackMode(TLoadCallBackMode::Cancel);
  TRef<TImage> stopped = host->RequestPicture("PresetedMask:8:6:1:10:0");
  SetLoadCallBackMode(TLoadCallBackMode::None);
  EXPECT_FALSE(stopped);
  EXPECT_TRUE(host->RequestPicture("PresetedMask:8:6:1:10:0"));
}

TEST(HostPresetMaskTest, HostAnswersWithTheRewrittenNameAndSize) {
  test::TMemoryShow show;
  auto host = MakeRef<TVyrSlideHost>(show.files, THostSettings{});
  TRef<TImage> mask = host->RequestPicture("PresetedMask: 40:20:1:10.000:0");
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->Width(), 40);
  EXPECT_EQ(mask->Height(), 20);
  EXPECT_EQ(mask->Name(), "PresetedMask:40:20:1:10:0");
  EXPECT_EQ(GreyAt(*mask->Bitmap(), 20, 10), 255);
  EXPECT_EQ(GreyAt(*mask->Bitmap(), 0, 0), 0);
  EXPECT_FALSE(host->RequestPicture("PresetedMask:100000:100000:0:0:0"));
}

}  // namespace
}  // namespace vyr

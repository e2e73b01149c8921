// The soft edge of shape masks: bands of the S-curve between r - smoothing and r.

#include <gtest/gtest.h>

#include "render/transitions/soft_bands.h"

namespace vyr {
namespace {

TEST(SoftBands, SCurveIsSymmetricAboutItsMiddle) {
  EXPECT_DOUBLE_EQ(SCurve(0), 0);
  EXPECT_DOUBLE_EQ(SCurve(127.5), 255 - 127.5 * 127.5 / 128);  // the upper branch
  EXPECT_DOUBLE_EQ(SCurve(255), 255);
  EXPECT_DOUBLE_EQ(SCurve(64), 32);
  EXPECT_DOUBLE_EQ(SCurve(191), 223);
}

TEST(SoftBands, OpaqueCoreThenFourteenBandsAlongTheCurve) {
  // r = 200, smoothing 140: core to 60, then bands 10 pixels wide.
  const auto bands = SoftBands(200, 140, 1000);
  ASSERT_EQ(bands.size(), 15u);
  EXPECT_DOUBLE_EQ(bands[0].inner, 0);
  EXPECT_DOUBLE_EQ(bands[0].outer, 60);
  EXPECT_DOUBLE_EQ(bands[0].innerAlpha, 255);
  EXPECT_DOUBLE_EQ(bands[0].outerAlpha, 255);
  struct Edge {
    int band;
    double outer, alpha;
  } edges[] = {
      {1, 70, 255 - (255.0 / 14) * (255.0 / 14) / 128},  // 252.41
      {7, 130, 127.5 * 127.5 / 128},                     // 127.0
      {10, 160, (255 - 10 * 255.0 / 14) * (255 - 10 * 255.0 / 14) / 128},
      {14, 200, 0},
  };
  for (const Edge& e : edges) {
    SCOPED_TRACE(e.band);
    EXPECT_NEAR(bands[static_cast<size_t>(e.band)].outer, e.outer, 1e-9);
    EXPECT_NEAR(bands[static_cast<size_t>(e.band)].outerAlpha, e.alpha, 1e-9);
    EXPECT_NEAR(bands[static_cast<size_t>(e.band)].inner, e.outer - 10, 1e-9);
  }
  for (size_t i = 1; i < bands.size(); ++i)
    EXPECT_DOUBLE_EQ(bands[i].innerAlpha, bands[i - 1].outerAlpha);
}

TEST(SoftBands, SmoothingWiderThanRadiusStartsPartlyTransparentAtTheCentre) {
  // r = 70, smoothing 140: the curve at distance 0 stands at x = 127.5.
  const auto bands = SoftBands(70, 140, 1000);
  ASSERT_FALSE(bands.empty());
  EXPECT_DOUBLE_EQ(bands[0].inner, 0);
  EXPECT_NEAR(bands[0].innerAlpha, 127.5 * 127.5 / 128, 1e-9);
  EXPECT_NEAR(bands[0].outer, 10, 1e-9);
  EXPECT_NEAR(bands.back().outer, 70, 1e-9);
  EXPECT_DOUBLE_EQ(bands.back().outerAlpha, 0);
  EXPECT_EQ(bands.size(), 7u);
}

TEST(SoftBands, NarrowBandsMergeIntoTheNext) {
  // 14 pixels of smoothing: bands of 1 pixel join in pairs.
  const auto bands = SoftBands(114, 14, 1000);
  ASSERT_EQ(bands.size(), 8u);
  for (size_t i = 1; i < bands.size(); ++i) {
    EXPECT_NEAR(bands[i].outer - bands[i].inner, 2, 1e-9);
    EXPECT_DOUBLE_EQ(bands[i].innerAlpha, bands[i - 1].outerAlpha);
  }
  EXPECT_NEAR(bands[1].outerAlpha, 255 - SCurve(2 * 255.0 / 14), 1e-9);
}

TEST(SoftBands, NoSmoothingGivesOnlyTheCoreAndNothingAtZero) {
  const auto bands = SoftBands(50, 0, 100);
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_DOUBLE_EQ(bands[0].outer, 50);
  EXPECT_TRUE(SoftBands(0, 0, 100).empty());
  EXPECT_TRUE(SoftBands(0, 20, 100).empty());
}

TEST(SoftBands, BandsStartingBeyondTheExtentAreLeftOut) {
  const auto bands = SoftBands(200, 140, 100);
  ASSERT_FALSE(bands.empty());
  EXPECT_NEAR(bands.back().outer, 100, 1e-9);
}

}  // namespace
}  // namespace vyr

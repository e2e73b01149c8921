#include "scene/filters/tone_curve.h"

#include <gtest/gtest.h>

#include "foundation/stream.h"

namespace vyr {
namespace {

TRef<TMemoryStream> CurveData(std::initializer_list<int> words) {
  std::vector<uint8_t> bytes;
  for (int w : words) {
    bytes.push_back(static_cast<uint8_t>(w >> 8));
    bytes.push_back(static_cast<uint8_t>(w));
  }
  return MakeRef<TMemoryStream>(bytes);
}

bool IsIdentity(const TCurvesData& c) {
  for (int i = 0; i < 256; ++i)
    if (c.Table()[i] != i) return false;
  return true;
}

TEST(ToneCurve, TwoEndPointsGiveTheIdentity) {
  TCurvesData curve;
  EXPECT_TRUE(IsIdentity(curve));
  EXPECT_TRUE(curve.LoadFromStream(*CurveData({2, 0, 0, 255, 255})));
  EXPECT_TRUE(IsIdentity(curve));
}

TEST(ToneCurve, MiddlePointIsHitAndTheCurveRisesBetween) {
  TCurvesData curve;
  ASSERT_TRUE(curve.LoadFromStream(*CurveData({3, 0, 0, 128, 200, 255, 255})));
  const auto& t = curve.Table();
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[128], 200);
  EXPECT_EQ(t[255], 255);
  for (int i = 1; i < 256; ++i) EXPECT_GE(t[i], t[i - 1]) << i;
  // The first segment at t = 0.5: (-P0 + 9 P0 + 9 P1 - P2) / 16 = (56.06, 96.56);
  // neighbouring samples rounding to x 56 differ by under a level.
  EXPECT_NEAR(t[56], 97, 1);
}

TEST(ToneCurve, EndsBeyondTheFirstAndLastPointAreFlat) {
  TCurvesData curve;
  ASSERT_TRUE(curve.LoadFromStream(*CurveData({3, 10, 30, 100, 90, 200, 220})));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(curve.Table()[i], 30) << i;
  for (int i = 200; i < 256; ++i) EXPECT_EQ(curve.Table()[i], 220) << i;
  EXPECT_EQ(curve.Table()[100], 90);
}

TEST(ToneCurve, InvalidDataResetsToIdentityAndFails) {
  const std::initializer_list<int> bad[] = {
      {1, 0, 0},                      // count 1
      {256, 0, 0, 255, 255},          // count 256
      {2, 0, 0, 256, 255},            // coordinate 256
      {3, 0, 0, 100, 300, 255, 255},  // middle y 300
      {3, 0, 0, 100, 100},            // cut short
  };
  for (const auto& words : bad) {
    TCurvesData curve;
    ASSERT_TRUE(curve.LoadFromStream(*CurveData({3, 0, 0, 128, 200, 255, 255})));
    EXPECT_FALSE(curve.LoadFromStream(*CurveData(words)));
    EXPECT_TRUE(IsIdentity(curve));
    EXPECT_TRUE(curve.Middle().empty());
  }
}

TEST(ToneCurve, BuiltInProfiles) {
  TCurvesData curve;
  ASSERT_TRUE(curve.LoadPreset(0));
  EXPECT_EQ(curve.Name(), "Linear");
  EXPECT_TRUE(IsIdentity(curve));

  ASSERT_TRUE(curve.LoadPreset(3));
  EXPECT_EQ(curve.Name(), "Cove - Deep");
  EXPECT_EQ(curve.PresetIndex(), 3);
  EXPECT_EQ(curve.Table()[0], 63);
  EXPECT_EQ(curve.Table()[1], 63);
  EXPECT_EQ(curve.Table()[148], 110);
  for (int i = 192; i < 256; ++i) EXPECT_EQ(curve.Table()[i], 255) << i;

  ASSERT_TRUE(curve.LoadPreset(1));  // Cone: up to the middle and back down
  EXPECT_EQ(curve.Table()[0], 0);
  EXPECT_EQ(curve.Table()[128], 255);
  EXPECT_EQ(curve.Table()[255], 0);

  const char* names[] = {"Linear",         "Cone",     "Cone - Inverted", "Cove - Deep",
                         "Cove - Shallow", "Gaussian", "Half Round",      "Ring",
                         "Ring - Double",  "Tooth"};
  for (int i = 0; i < TCurvesData::kPresetCount; ++i) {
    ASSERT_TRUE(curve.LoadPreset(i));
    EXPECT_EQ(curve.Name(), names[i]);
    // Every profile passes through its own points.
    std::vector<TCurveGridPoint> pts{curve.First()};
    pts.insert(pts.end(), curve.Middle().begin(), curve.Middle().end());
    pts.push_back(curve.Last());
    for (const TCurveGridPoint& p : pts) EXPECT_EQ(curve.Table()[p.x], p.y) << names[i];
  }
}

TEST(ToneCurve, UnknownPresetClearsTheNameAndKeepsTheTable) {
  TCurvesData curve;
  ASSERT_TRUE(curve.LoadPreset(9));
  const auto table = curve.Table();
  EXPECT_FALSE(curve.LoadPreset(10));
  EXPECT_FALSE(curve.LoadPreset(-1));
  EXPECT_EQ(curve.Name(), "");
  EXPECT_EQ(curve.PresetIndex(), -1);
  EXPECT_EQ(curve.Table(), table);
}

}  // namespace
}  // namespace vyr

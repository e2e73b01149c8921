// The overturn: a card turning about its centre line, leaving slide first, never mirrored.

#include <cmath>
#include <numbers>

#include "render/transitions/overturn_effect.h"
#include "transition_fixture.h"

namespace vyr::test {
namespace {

TEST(TransitionOverturn, QuarterWayAboutTheVerticalLineRecedesTheLeftEdge) {
  TOverturnEffect filter(2, false, 1);
  filter.Init(TIntRect{0, 0, 800, 600}, 0, 1000);
  filter.SetTime(250);
  const auto c = filter.Corners();  // top-left, top-right, bottom-left, bottom-right
  const float b = 400 * std::cos(std::numbers::pi_v<float> / 4);
  EXPECT_NEAR(c[1].x, 400 + b, 1e-3);
  EXPECT_NEAR(c[3].x, 400 + b, 1e-3);
  EXPECT_NEAR(c[1].z, 0, 1e-3);
  EXPECT_NEAR(c[0].x, 400 - b, 1e-3);
  EXPECT_NEAR(c[0].z, 2 * b, 1e-2);  // 565.7
  EXPECT_EQ(c[0].y, 0);
  EXPECT_EQ(c[2].y, 600);
  EXPECT_EQ(filter.Grey(), 210);
}

TEST(TransitionOverturn, SpinAboutTheCentreMovesTheEdgesOppositeWays) {
  TOverturnEffect filter(6, false, 1);  // code 2 + spin
  filter.Init(TIntRect{0, 0, 800, 600}, 0, 1000);
  filter.SetTime(250);
  const auto c = filter.Corners();
  EXPECT_NEAR(c[0].z, 282.84f, 1e-2);
  EXPECT_NEAR(c[1].z, -282.84f, 1e-2);
}

TEST(TransitionOverturn, AboutTheHorizontalLineTheEdgesAreTopAndBottom) {
  TOverturnEffect filter(3, false, 0.5f);  // angle -a
  filter.Init(TIntRect{0, 0, 800, 600}, 0, 1000);
  filter.SetTime(250);
  const auto c = filter.Corners();
  const float b = 300 * std::cos(std::numbers::pi_v<float> / 4);
  EXPECT_NEAR(c[0].y, 300 - b, 1e-3);
  EXPECT_NEAR(c[2].y, 300 + b, 1e-3);
  // z0 = sin(-45 deg) x 300 x 0.5 < 0: the bottom edge recedes, the top stays.
  EXPECT_NEAR(c[2].z, 2 * b * 0.5f, 1e-2);
  EXPECT_NEAR(c[0].z, 0, 1e-3);
}

TEST(TransitionOverturn, NonlinearSpeedStartsSlowly) {
  TOverturnEffect filter(2, true, 1);
  filter.Init(TIntRect{0, 0, 100, 100}, 0, 1000);
  filter.SetTime(250);
  EXPECT_NEAR(filter.Angle(), std::numbers::pi / 8, 1e-6);
  filter.SetTime(500);
  EXPECT_NEAR(filter.Angle(), std::numbers::pi / 2, 1e-6);
  EXPECT_EQ(filter.Grey(), 100);  // edge-on
}

TEST(TransitionOverturn, DrawnCardHasItsEdgesAndGreyWhereTheTurnPutsThem) {
  TransitionFrame frame(800, 600);
  VYR_REQUIRE_FRAME(frame);
  TDrawFilterSpec spec = Spec(TDrawFilterKind::Overturn);
  spec.code = 2;
  spec.volume = 1;
  TRef<TDrawFilter> filter = MakeDrawFilter(spec, frame.Rect(), 0, 1000);
  const TMultiTile a = frame.Flat(0xFFFFFF), b = frame.Flat(0x0000FF);
  ASSERT_TRUE(frame.Draw(filter.Get(), a, b, 250));
  frame.Read();
  // Right edge in the screen plane at 682.8; the left edge at depth 565.7 seen from the
  // eye (400, 300, -600) lands at 400 - 282.8 x 600 / 1165.7 = 254.4.
  EXPECT_EQ(frame.At(680, 300), (TRgb{210, 210, 210}));
  EXPECT_EQ(frame.At(686, 300), (TRgb{0, 0, 0}));
  EXPECT_EQ(frame.At(257, 300), (TRgb{210, 210, 210}));
  EXPECT_EQ(frame.At(251, 300), (TRgb{0, 0, 0}));
  // The receding edge is shorter: its top corner lies below the top.
  EXPECT_EQ(frame.At(260, 10), (TRgb{0, 0, 0}));
  EXPECT_EQ(frame.At(678, 2), (TRgb{210, 210, 210}));
}

TEST(TransitionOverturn, LeavingSlideAtStartAndArrivingSlideUnmirroredLater) {
  TransitionFrame frame(160, 120);
  VYR_REQUIRE_FRAME(frame);
  TDrawFilterSpec spec = Spec(TDrawFilterKind::Overturn);
  spec.code = 1;
  spec.volume = 0.5;
  TRef<TDrawFilter> filter = MakeDrawFilter(spec, frame.Rect(), 0, 1000);
  const TMultiTile a = frame.Flat(0xFF0000), b = frame.Slide(0x00FF00, 0x0000FF, 80);
  ASSERT_TRUE(frame.Draw(filter.Get(), a, b, 0));
  frame.Read();
  EXPECT_EQ(frame.At(0, 0), (TRgb{255, 0, 0}));
  EXPECT_EQ(frame.At(159, 119), (TRgb{255, 0, 0}));
  ASSERT_TRUE(frame.Draw(filter.Get(), a, b, 900));
  frame.Read();
  // cos(0.9 pi) = -0.951: grey round(0.951 x 155 + 100) = 247; green stays on the left.
  EXPECT_EQ(frame.At(60, 60), (TRgb{0, 247, 0}));
  EXPECT_EQ(frame.At(100, 60), (TRgb{0, 0, 247}));
}

}  // namespace
}  // namespace vyr::test

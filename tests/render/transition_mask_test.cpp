// Flat transitions drawn headless: cross-fade, shape masks with their soft edge, mosaic,
// push and slide-in, checked on pixels the behaviour fixes.

#include <cmath>
#include <numbers>

#include "render/transitions/alpha_filter.h"
#include "render/transitions/circle_filter.h"
#include "render/transitions/contour_filters.h"
#include "render/transitions/line_filters.h"
#include "render/transitions/random_filter.h"
#include "render/transitions/slide_filters.h"
#include "transition_fixture.h"

namespace vyr::test {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST(TransitionMask, CrossFadeHalfwayMixesTheSlides) {
  TransitionFrame frame(160, 120);
  VYR_REQUIRE_FRAME(frame);
  TRef<TDrawFilter> filter =
      MakeDrawFilter(Spec(TDrawFilterKind::CrossFade), frame.Rect(), 0, 1000);
  ASSERT_TRUE(frame.Draw(filter.Get(), frame.Flat(kRed), frame.Flat(kBlue), 500));
  frame.Read();
  const TRgb middle = frame.At(80, 60);
  EXPECT_TRUE(middle.r == 127 || middle.r == 128) << middle;
  EXPECT_EQ(middle.g, 0);
  EXPECT_TRUE(middle.b == 127 || middle.b == 128) << middle;
}

TEST(TransitionMask, OutsideTheDurationOnlyTheArrivingSlideShows) {
  TransitionFrame frame(64, 48);
  VYR_REQUIRE_FRAME(frame);
  const TMultiTile a = frame.Flat(kRed), b = frame.Flat(kBlue);
  TRef<TDrawFilter> filter =
      MakeDrawFilter(Spec(TDrawFilterKind::CrossFade), frame.Rect(), 0, 1000);
  for (double time : {1000.0, 1500.0, -1.0}) {
    SCOPED_TRACE(time);
    ASSERT_TRUE(frame.Draw(filter.Get(), a, b, time));
    frame.Read();
    EXPECT_EQ(frame.At(0, 0), (TRgb{0, 0, 255}));
    EXPECT_EQ(frame.At(63, 47), (TRgb{0, 0, 255}));
  }
  ASSERT_TRUE(frame.Draw(nullptr, a, b, 10));  // no filter: shown at once
  frame.Read();
  EXPECT_EQ(frame.At(32, 24), (TRgb{0, 0, 255}));
}

TEST(TransitionMask, CentredCircleHalfwayIsOpaqueInsideHalfItsExtentAndAbsentOutside) {
  TransitionFrame frame(160, 120);  // R = hypot(80, 60) = 100
  VYR_REQUIRE_FRAME(frame);
  TRef<TDrawFilter> filter = MakeDrawFilter(Spec(TDrawFilterKind::Circle), frame.Rect(), 0, 1000);
  ASSERT_TRUE(frame.Draw(filter.Get(), frame.Flat(kRed), frame.Flat(kBlue), 500));
  frame.Read();
  for (int k = 0; k < 16; ++k) {
    const double angle = k * std::numbers::pi / 8;
    auto at = [&](double radius) {
      return frame.At(static_cast<int>(80 + radius * std::cos(angle)),
                      static_cast<int>(60 + radius * std::sin(angle)));
    };
    EXPECT_EQ(at(47), (TRgb{0, 0, 255})) << k;
    EXPECT_EQ(at(53), (TRgb{255, 0, 0})) << k;
  }
}

TEST(TransitionMask, SoftEdgePixelsFollowTheCurve) {
  // Lines from the left edge: distance x; smoothing 140 and r = 200.5 put the band edges
  // on the pixel centres 70.5, 80.5, ... 200.5.
  TransitionFrame frame(320, 8);
  VYR_REQUIRE_FRAME(frame);
  auto filter = MakeRef<TVLines>(0.0f, 0.5f, false);
  filter->Init(frame.Rect(), 140, 1000);
  ASSERT_FLOAT_EQ(filter->Extent(), 320);
  ASSERT_TRUE(frame.DrawAt(*filter, frame.Flat(0), frame.Flat(kWhite), 200.5 / 460));
  frame.Read();
  auto alphaAt = [](double x) { return 255 - SCurve(x); };
  struct Case {
    int x;
    double alpha;
  } cases[] = {
      {30, 255},
      {60, 255},
      {70, alphaAt(255.0 / 14)},
      {130, 127},
      {165, (alphaAt(10 * 255.0 / 14) + alphaAt(11 * 255.0 / 14)) / 2},
      {201, 0},
      {300, 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(frame.At(c.x, 4).g, c.alpha, 1.01) << c.x;
}

TEST(TransitionMask, ReversedSquareShowsAllOfTheLeavingSlideAtStartAndNoneAtTheEnd) {
  TransitionFrame frame(80, 60);
  VYR_REQUIRE_FRAME(frame);
  auto filter = MakeRef<TSquareFilter>(0.3f, 0.6f, true);
  filter->Init(frame.Rect(), 8, 1000);
  const TMultiTile a = frame.Flat(kRed), b = frame.Flat(kBlue);
  for (double p : {0.0, 1.0}) {
    ASSERT_TRUE(frame.DrawAt(*filter, a, b, p));
    frame.Read();
    const TRgb want = p == 0 ? TRgb{255, 0, 0} : TRgb{0, 0, 255};
    for (int y = 0; y < 60; y += 3)
      for (int x = 0; x < 80; x += 3) ASSERT_EQ(frame.At(x, y), want) << p << " " << x << "," << y;
  }
}

TEST(TransitionMask, MosaicOfOneTileWithoutSpreadFadesInOverTheLast255Of256) {
  TransitionFrame frame(40, 30);
  VYR_REQUIRE_FRAME(frame);
  TDrawFilterSpec spec = Spec(TDrawFilterKind::RandomTiles);
  spec.cols = spec.rows = 1;
  spec.seed = 12345;
  spec.appearance = 0;
  TRef<TDrawFilter> filter = MakeDrawFilter(spec, frame.Rect(), 0, 1000);
  const TMultiTile a = frame.Flat(kRed), b = frame.Flat(kBlue);
  struct Case {
    double p;
    int blueAlpha;
  } cases[] = {{0.5 / 256, 0}, {0.5, 127}, {0.75, 191}, {255.5 / 256, 255}};
  for (const Case& c : cases) {
    ASSERT_TRUE(frame.DrawAt(*filter, a, b, c.p));
    frame.Read();
    EXPECT_NEAR(frame.At(20, 15).b, c.blueAlpha, 1) << c.p;
    EXPECT_NEAR(frame.At(20, 15).r, 255 - c.blueAlpha, 1) << c.p;
  }
}

TEST(TransitionMask, MosaicDelaysComeFromTheSeededGenerator) {
  TRandomFilter filter(3, 2, 1, 10);  // spread round(10 x 100) = 1000
  filter.Init(TIntRect{0, 0, 30, 20}, 0, 1000);
  // x := x * 1664525 + 1013904223 from 1; delay = trunc(mantissa fraction x 1000).
  uint32_t x = 1;
  for (int delay : filter.Delays()) {
    x = x * 1664525u + 1013904223u;
    EXPECT_EQ(delay, static_cast<int>((x & 0x7FFFFF) / 8388608.0 * 1000));
  }
  EXPECT_EQ(filter.Delays().size(), 6u);
}

TEST(TransitionMask, PushAtAQuarterShiftsTheLeavingSlideByAQuarterWidth) {
  TransitionFrame frame(160, 40);
  VYR_REQUIRE_FRAME(frame);
  const TMultiTile a = frame.Slide(kRed, kGreen, 80), b = frame.Flat(kBlue);
  const TRgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
  struct Case {
    int code;
    std::vector<std::pair<int, TRgb>> expected;
  } cases[] = {
      // Leaving slide moves left by 40; the arriving one follows from the right.
      {2, {{0, red}, {39, red}, {40, green}, {119, green}, {120, blue}, {159, blue}}},
      // Leaving slide moves right by 40; the arriving one enters from the left.
      {1, {{0, blue}, {39, blue}, {40, red}, {119, red}, {120, green}, {159, green}}},
  };
  for (const Case& c : cases) {
    TDrawFilterSpec spec = Spec(TDrawFilterKind::Push);
    spec.code = c.code;
    TRef<TDrawFilter> filter = MakeDrawFilter(spec, frame.Rect(), 0, 1000);
    ASSERT_TRUE(frame.Draw(filter.Get(), a, b, 250));
    frame.Read();
    for (const auto& [x, colour] : c.expected)
      EXPECT_EQ(frame.At(x, 20), colour) << c.code << " " << x;
  }
}

TEST(TransitionMask, SlideInMovesOnlyTheArrivingSlide) {
  TransitionFrame frame(40, 160);
  VYR_REQUIRE_FRAME(frame);
  TDrawFilterSpec spec = Spec(TDrawFilterKind::SlideIn);
  spec.code = 4;  // from the bottom
  TRef<TDrawFilter> filter = MakeDrawFilter(spec, frame.Rect(), 0, 1000);
  ASSERT_TRUE(frame.Draw(filter.Get(), frame.Flat(kRed), frame.Flat(kBlue), 250));
  frame.Read();
  EXPECT_EQ(frame.At(20, 119), (TRgb{255, 0, 0}));
  EXPECT_EQ(frame.At(20, 120), (TRgb{0, 0, 255}));
}

TEST(TransitionMask, PictureSplitOverTilesDrawsAsOnePicture) {
  TransitionFrame frame(96, 64);
  VYR_REQUIRE_FRAME(frame);
  std::vector<uint8_t> gradient(96 * 64 * 4);
  for (size_t i = 0; i < gradient.size(); i += 4) {
    const int x = static_cast<int>(i / 4 % 96), y = static_cast<int>(i / 4 / 96);
    gradient[i] = static_cast<uint8_t>(x * 2);
    gradient[i + 1] = static_cast<uint8_t>(y * 3);
    gradient[i + 2] = static_cast<uint8_t>(x + y);
    gradient[i + 3] = 255;
  }
  const TMultiTile a = frame.Flat(0x202020);
  auto filter = MakeRef<TCircleFilter>(0.4f, 0.5f, false);
  filter->Init(frame.Rect(), 20, 1000);
  ASSERT_TRUE(frame.DrawAt(*filter, a, frame.FromPixels(gradient, {}), 0.6));
  frame.Read();
  const std::vector<uint8_t> whole = frame.Pixels();
  ASSERT_TRUE(frame.DrawAt(*filter, a, frame.FromPixels(gradient, {17, 50, 51}), 0.6));
  frame.Read();
  const std::vector<uint8_t>& tiled = frame.Pixels();
  ASSERT_EQ(whole.size(), tiled.size());
  int worst = 0;
  for (size_t i = 0; i < whole.size(); ++i) worst = std::max(worst, std::abs(whole[i] - tiled[i]));
  EXPECT_LE(worst, 1);
}

}  // namespace
}  // namespace vyr::test

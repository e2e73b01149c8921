// Every kind of draw filter: only the leaving slide at the start, only the arriving one at
// the end, no device errors on the way, and the same frame twice gives the same pixels.

#include <string>

#include "every_filter.h"
#include "transition_fixture.h"

namespace vyr::test {
namespace {

class TransitionEffects : public ::testing::Test {
 protected:
  static constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;
};

TEST_F(TransitionEffects, EveryFilterShowsOnlyTheLeavingSlideAtStartAndOnlyTheArrivingAtTheEnd) {
  TransitionFrame frame(96, 64);
  VYR_REQUIRE_FRAME(frame);
  const TMultiTile a = frame.Flat(kRed), b = frame.Flat(kBlue);
  for (const TNamedSpec& named : EveryFilter()) {
    SCOPED_TRACE(named.name);
    TRef<TDrawFilter> filter = MakeDrawFilter(named.spec, frame.Rect(), 0.05, 1000);
    ASSERT_TRUE(filter);
    for (double p : {0.0, 1.0}) {
      ASSERT_TRUE(frame.DrawAt(*filter, a, b, p));
      frame.Read();
      const TRgb want = p == 0 ? TRgb{255, 0, 0} : TRgb{0, 0, 255};
      int wrong = 0;
      for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) wrong += frame.At(x, y) == want ? 0 : 1;
      EXPECT_EQ(wrong, 0) << "p = " << p;
    }
  }
}

TEST_F(TransitionEffects, EveryFilterDrawsWithoutDeviceErrorsAndShowsSomethingOfBothMidway) {
  TransitionFrame frame(96, 64);
  VYR_REQUIRE_FRAME(frame);
  const TMultiTile a = frame.Flat(kRed), b = frame.Flat(kBlue);
  for (const TNamedSpec& named : EveryFilter()) {
    SCOPED_TRACE(named.name);
    TRef<TDrawFilter> filter = MakeDrawFilter(named.spec, frame.Rect(), 0.05, 1000);
    for (double p : {0.2, 0.45, 0.5, 0.55, 0.8}) {
      ASSERT_TRUE(frame.DrawAt(*filter, a, b, p)) << p;
      EXPECT_EQ(frame.LastError(), TDeviceError::Ok) << p;
    }
    // Halfway a fair share of the frame comes from each slide (the mosaic's widest spread
    // has barely begun, a turning card may show neither while edge-on).
    ASSERT_TRUE(frame.DrawAt(*filter, a, b, 0.4));
    frame.Read();
    int red = 0, blue = 0;
    for (int y = 0; y < frame.Height(); ++y)
      for (int x = 0; x < frame.Width(); ++x) {
        red += frame.At(x, y).r > 0;
        blue += frame.At(x, y).b > 0;
      }
    if (named.spec.kind != TDrawFilterKind::RandomTiles) {
      EXPECT_GT(red, 0);
      if (named.spec.kind != TDrawFilterKind::Overturn) {
        EXPECT_GT(blue, 0);
      }
    }
  }
}

TEST_F(TransitionEffects, TheSameFrameTwiceGivesTheSamePixels) {
  TransitionFrame frame(96, 64);
  VYR_REQUIRE_FRAME(frame);
  const TMultiTile a = frame.Slide(kRed, 0x00FF00, 40), b = frame.Slide(kBlue, 0xFFFFFF, 70);
  for (const TNamedSpec& named : EveryFilter()) {
    SCOPED_TRACE(named.name);
    TRef<TDrawFilter> first = MakeDrawFilter(named.spec, frame.Rect(), 0.1, 1000);
    TRef<TDrawFilter> second = MakeDrawFilter(named.spec, frame.Rect(), 0.1, 1000);
    ASSERT_TRUE(frame.Draw(first.Get(), a, b, 370));
    frame.Read();
    const std::vector<uint8_t> once = frame.Pixels();
    ASSERT_TRUE(frame.Draw(second.Get(), a, b, 370));
    frame.Read();
    EXPECT_TRUE(once == frame.Pixels());
  }
}

TEST_F(TransitionEffects,
       FactoryMakesNothingForNoMatchAndACrossFadeForACustomEffectWithoutSection) {
  EXPECT_FALSE(MakeDrawFilter(Spec(TDrawFilterKind::None), TIntRect{0, 0, 10, 10}, 0, 1000));
  TRef<TDrawFilter> custom =
      MakeDrawFilter(Spec(TDrawFilterKind::CustomSlide), TIntRect{0, 0, 10, 10}, 0, 1000);
  ASSERT_TRUE(custom);
  EXPECT_EQ(custom->Order(), TFilterOrder::Mask);
  // Smoothing is a fraction of the slide width; the time starts at 0.
  TRef<TDrawFilter> circle =
      MakeDrawFilter(Spec(TDrawFilterKind::Circle), TIntRect{0, 0, 200, 100}, 0.25, 800);
  EXPECT_FLOAT_EQ(circle->Smoothing(), 50);
  EXPECT_FLOAT_EQ(circle->Duration(), 800);
  EXPECT_EQ(circle->Time(), 0);
  circle->SetTime(900);
  EXPECT_FLOAT_EQ(circle->Time(), 800);
  TRef<TDrawFilter> instant =
      MakeDrawFilter(Spec(TDrawFilterKind::Circle), TIntRect{0, 0, 200, 100}, 0, 0);
  instant->SetTime(50);
  EXPECT_EQ(instant->Progress(), 0);
}

}  // namespace
}  // namespace vyr::test

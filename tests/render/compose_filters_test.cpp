// Blur, sharpening and masks of the frame drawer: the pass arithmetic and pixels it fixes.

#include <cmath>

#include "compose_fixture.h"
#include "render/compose/blur_plan.h"

namespace vyr::test {
namespace {

TEST(BlurPlan, GaussWeightsAddUpToOneAndStrengthZeroCopies) {
  for (float e : {0.0f, 0.25f, 0.5146f, 1.0f}) {
    const TGaussWeights w = GaussWeights(e);
    EXPECT_NEAR(w.w0 + 2 * (w.w1 + w.w2 + w.w3), 1.0, 1e-5) << e;
  }
  const TGaussWeights copy = GaussWeights(0);
  EXPECT_EQ(copy.w0, 1);
  EXPECT_EQ(copy.w1 + copy.w2 + copy.w3, 0);
  const TGaussWeights full = GaussWeights(1);
  EXPECT_FLOAT_EQ(full.w3, 0.065722f);
  EXPECT_FLOAT_EQ(full.w0, 0.294544f);
}

TEST(BlurPlan, RadiusSplitsIntoPassPairsOrAMix) {
  struct Case {
    float radius;
    bool mix;
    float mixWeight;
    int pairs;
    float last;
  };
  const Case cases[] = {
      {0, false, 0, 0, 0},                                         // G = 0: a plain copy
      {1, true, (0.5f - 0.00001f) / 0.99999f, 0, 0},               // G = 0.5
      {2, false, 0, 0, 0},                                         // G = 1
      {4, false, 0, 0, 1.0f / 6},                                  // G = 2
      {14, false, 0, 0, 1},                                        // G = 7
      {20, false, 0, 1, static_cast<float>(std::log2(10.0 / 7))},  // G = 10
      {28, false, 0, 1, 1},                                        // G = 14: L = 1 exactly
      {112, false, 0, 3, 1},                                       // G = 56: L = 3
  };
  for (const Case& c : cases) {
    const TBlurPlan plan = PlanBlur(c.radius);
    EXPECT_EQ(plan.mix, c.mix) << c.radius;
    EXPECT_NEAR(plan.mixWeight, c.mixWeight, 1e-6) << c.radius;
    EXPECT_EQ(plan.fullPairs, c.pairs) << c.radius;
    EXPECT_NEAR(plan.lastStrength, c.last, 1e-5) << c.radius;
  }
}

class ComposeFilters : public ComposeTest {};

// A grey field with a lighter one-pixel column at x = 20.
void DrawColumn(TDeviceDrawer& d, uint32_t field, uint32_t column) {
  d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 64, 48}, field, field, TBoxFill::Solid, 100,
                  false);
  d.DrawColourBox(TPlacement{}, TFloatRect{20, 0, 21, 48}, column, column, TBoxFill::Solid, 100,
                  false);
}

TEST_F(ComposeFilters, BlurAmountMinusFiftyAtScaleOneSharpensByHalf) {
  TRef<TLambdaItem> item =
      MakeRef<TLambdaItem>([](TDeviceDrawer& d) { DrawColumn(d, 0xFF808080, 0xFFC0C0C0); }, -50);
  Frame([&](TDeviceDrawer& d) { d.DrawItem(*item); });
  // unsharp: B = (4P + 2 (sides) + diagonals) / 16, out = P + 0.5 (P - B).
  const double field = 128 / 255.0, column = 192 / 255.0;
  const double blurColumn = (4 * column + 2 * (2 * column + 2 * field) + 4 * field) / 16;
  const double blurSide = (4 * field + 2 * (column + 3 * field) + (2 * column + 2 * field)) / 16;
  EXPECT_NEAR(At(20, 24).r, 255 * (column + 0.5 * (column - blurColumn)), 1);
  EXPECT_NEAR(At(21, 24).r, 255 * (field + 0.5 * (field - blurSide)), 1);
  EXPECT_NEAR(At(40, 24).r, 128, 1);
}

TEST_F(ComposeFilters, BlurKeepsFlatAreasAndSoftensEdges) {
  for (float amount : {0.5f, 20.0f, 200.0f}) {  // radius 0.0005 (mix), 0.02, 0.2 at scale 1
    TRef<TLambdaItem> item = MakeRef<TLambdaItem>(
        [](TDeviceDrawer& d) {
          d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 32, 48}, 0xFFFF0000, 0xFFFF0000,
                          TBoxFill::Solid, 100, false);
        },
        amount);
    Frame([&](TDeviceDrawer& d) { d.DrawItem(*item); });
    ExpectColour(At(8, 24), {255, 0, 0}, 2);
    ExpectColour(At(56, 24), {0, 0, 0}, 2);
  }
  // A wide radius (G = 8, one full pass pair): the edge spreads over several pixels.
  Frame([&](TDeviceDrawer& d) {
    TRef<TLambdaItem> item = MakeRef<TLambdaItem>([](TDeviceDrawer& inner) {
      inner.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 32, 48}, 0xFFFF0000, 0xFFFF0000,
                          TBoxFill::Solid, 100, false);
    });
    d.DrawBlurred(*item, 16);
  });
  EXPECT_GT(At(29, 24).r, 40);
  EXPECT_LT(At(29, 24).r, 250);
  EXPECT_GT(At(34, 24).r, 5);
  EXPECT_LT(At(34, 24).r, 215);
  EXPECT_GT(At(29, 24).r, At(34, 24).r);
}

TEST_F(ComposeFilters, MaskShowsTheContentWhereTheStencilIsWhite) {
  TRef<TLambdaItem> stencil = MakeRef<TLambdaItem>([](TDeviceDrawer& d) {
    d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 32, 48}, 0xFFFFFFFF, 0xFFFFFFFF, TBoxFill::Solid,
                    100, false);
    d.DrawColourBox(TPlacement{}, TFloatRect{32, 0, 64, 48}, 0xFF808080, 0xFF808080,
                    TBoxFill::Solid, 100, false);
  });
  TRef<TLambdaItem> content = FlatSlide(0xFF00FF00, 64, 48);
  Frame([&](TDeviceDrawer& d) { d.DrawMasked(*stencil, *content, 100); }, 0xFF0000FF);
  ExpectColour(At(10, 10), {0, 255, 0});
  ExpectColour(At(50, 10), {0, 128, 127}, 2);  // grey 128: half the content
}

}  // namespace
}  // namespace vyr::test

// The filtered resampler and the drop-shadow blur, checked against their arithmetic on small
// masks, the spread profiles and the colouring of the mask.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "imaging/bitmap/bitmap_factory.h"
#include "scene/shadow/drop_shadow.h"
#include "scene/shadow/resample.h"
#include "scene/shadow/shadow_producer.h"

namespace vyr {
namespace {

TRef<TBitmap> Mask(int w, int h, const std::vector<uint8_t>& rowValues) {
  TRef<TBitmap> m = CreateSysBitmap(w, h, pf::A8());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) m->Row(y)[x] = rowValues[static_cast<size_t>(x)];
  return m;
}

std::vector<int> RowOf(const TBitmap& b, int y) {
  std::vector<int> row;
  for (int x = 0; x < b.Width(); ++x) row.push_back(b.Row(y)[x]);
  return row;
}

TEST(ShadowResample, BSplineFilterValues) {
  EXPECT_FLOAT_EQ(BSplineFilter(0), 2.0f / 3);
  EXPECT_FLOAT_EQ(BSplineFilter(1), 1.0f / 6);
  EXPECT_FLOAT_EQ(BSplineFilter(-1), 1.0f / 6);
  EXPECT_FLOAT_EQ(BSplineFilter(0.5f), 0.0625f - 0.25f + 2.0f / 3);
  EXPECT_FLOAT_EQ(BSplineFilter(1.5f), 0.125f / 6);
  EXPECT_EQ(BSplineFilter(2), 0);
  EXPECT_EQ(BSplineFilter(-3), 0);
}

TEST(ShadowResample, ContributionsMirrorAtBothEdges) {
  // Scale 1: weights 1/6, 2/3, 1/6 around each index (the zero weights at +-2 are dropped).
  const auto c = Contributions(5, 5, 1, BSplineFilter, kBSplineSupport, {});
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0].index, (std::vector<int32_t>{1, 0, 1}));  // -1 mirrors to 1
  EXPECT_EQ(c[4].index, (std::vector<int32_t>{3, 4, 4}));  // 5 mirrors to 2n - 5 - 1 = 4
  EXPECT_FLOAT_EQ(c[2].weight[0], 1.0f / 6);
  EXPECT_FLOAT_EQ(c[2].weight[1], 2.0f / 3);

  // Scale 1/2: the filter widened to 4 source pixels, weights halved; they still sum to 1.
  const auto half = Contributions(10, 5, 0.5f, BSplineFilter, kBSplineSupport, {});
  float sum = 0;
  for (float w : half[2].weight) sum += w;
  EXPECT_EQ(half[2].index.size(), 7u);  // 4 - 3 .. 4 + 3
  EXPECT_NEAR(sum, 1.0f, 1e-6);
}

TEST(ShadowResample, SmoothsAPeakByItsArithmetic) {
  // 255 x 2/3 = 170 and 255 / 6 = 42.5 go through the 16-bit work scale (x 256.96078) and
  // back (/ 257): 43683 -> 170, 10921 -> 42.
  TRef<TBitmap> source = Mask(5, 2, {0, 0, 255, 0, 0});
  TRef<TBitmap> target = CreateSysBitmap(5, 2, pf::A8());
  Resample(*source, *target, BSplineFilter, kBSplineSupport, 1, nullptr, {});
  EXPECT_EQ(RowOf(*target, 0), (std::vector<int>{0, 42, 170, 42, 0}));
  EXPECT_EQ(RowOf(*target, 1), (std::vector<int>{0, 42, 170, 42, 0}));

  // At the left edge -1 mirrors to 1 (no weight on the edge pixel); at the right edge 5
  // mirrors to 4 itself: 255 x (2/3 + 1/6) = 212.5 -> 54604 -> 212.
  TRef<TBitmap> left = Mask(5, 2, {255, 0, 0, 0, 0});
  TRef<TBitmap> right = Mask(5, 2, {0, 0, 0, 0, 255});
  Resample(*left, *target, BSplineFilter, kBSplineSupport, 1, nullptr, {});
  EXPECT_EQ(RowOf(*target, 0), (std::vector<int>{170, 42, 0, 0, 0}));
  Resample(*right, *target, BSplineFilter, kBSplineSupport, 1, nullptr, {});
  EXPECT_EQ(RowOf(*target, 0), (std::vector<int>{0, 0, 0, 42, 212}));
}

TEST(ShadowResample, FullValueMapsTo65525AndBack) {
  TRef<TBitmap> source = Mask(4, 4, {255, 255, 255, 255});
  TRef<TBitmap> target = CreateSysBitmap(8, 8, pf::A8());
  Resample(*source, *target, BSplineFilter, kBSplineSupport, 2, nullptr, {});
  EXPECT_EQ(target->Row(4)[4], 255);  // 65525 / 257 = 254.96

  // Through a table the 16-bit sum picks entry round(sum x 4095 / 65535): 65525 -> 4094.
  TSpreadTable table{};
  table[4094] = 77;
  Resample(*source, *target, BSplineFilter, kBSplineSupport, 2, &table, {});
  EXPECT_EQ(target->Row(4)[4], 77);
}

TEST(ShadowResample, TooSmallSourceRaises) {
  TRef<TBitmap> source = CreateSysBitmap(1, 5, pf::A8());
  TRef<TBitmap> target = CreateSysBitmap(4, 4, pf::A8());
  try {
    Resample(*source, *target, BSplineFilter, kBSplineSupport, 1, nullptr, {});
    FAIL() << "no exception";
  } catch (const EResampleError& e) {
    EXPECT_STREQ(e.what(), "Source bitmap too small");
  }
}

TEST(ShadowSpread, TableInterpolatesTheCurveOn4096Steps) {
  std::array<uint8_t, 256> identity{};
  for (int i = 0; i < 256; ++i) identity[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  const TSpreadTable t = MakeSpreadTable(identity);
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[4095], 255);
  for (int i = 0; i < 4096; i += 7) EXPECT_NEAR(t[static_cast<size_t>(i)], i * 255.0 / 4095, 1);

  TCurvesData cone;
  ASSERT_TRUE(cone.LoadPreset(1));
  const TSpreadTable c = MakeSpreadTable(cone.Table());
  EXPECT_EQ(c[4095], 0);    // full alpha vanishes
  EXPECT_EQ(c[2056], 255);  // half alpha (128 of 255) becomes full
  EXPECT_EQ(c[0], 0);
}

TEST(ShadowBlur, RadiusBorderAndBounds) {
  TDropShadow shadow;
  shadow.SetBlur(0);
  EXPECT_EQ(shadow.Radius(), 1);
  EXPECT_EQ(shadow.Border(), 3);
  shadow.SetBlur(-5);
  EXPECT_EQ(shadow.Radius(), 1);
  shadow.SetBlur(50);
  EXPECT_EQ(shadow.Border(), 128);  // ceil(2.5 x 51)
  shadow.SetBlur(1e12);
  EXPECT_EQ(shadow.Radius(), kMaxShadowRadius);
  shadow.SetBlur(std::nan(""));
  EXPECT_EQ(shadow.Radius(), 1);
}

TRef<TBitmap> OpaqueSilhouette(int w, int h) {
  TRef<TBitmap> s = CreateSysBitmap(w, h, pf::A8R8G8B8());
  s->FillRect({0, 0, w, h}, 0xFF000000);
  return s;
}

TEST(ShadowBlur, BlurZeroIsTheOnePixelSmoothing) {
  TDropShadow shadow;
  shadow.SetBlur(0);
  TRef<TBitmap> mask = shadow.Blur(*OpaqueSilhouette(10, 6));
  ASSERT_EQ(mask->Width(), 16);
  ASSERT_EQ(mask->Height(), 12);
  // Scale 1 twice: the B-spline applied twice; inside stays full, far outside stays empty.
  EXPECT_EQ(mask->Row(6)[8], 255);
  EXPECT_EQ(mask->Row(0)[0], 0);
  // Across the left edge (silhouette from column 3): the first pass gives 42 and 212 next to
  // the step (255 / 6, 255 x 5/6); the second 0, 7, 63, 191, 248 from column 0.
  EXPECT_EQ(RowOf(*mask, 6), (std::vector<int>{0, 7, 63, 191, 248, 255, 255, 255, 255, 255, 255,
                                               248, 191, 63, 7, 0}));
}

TEST(ShadowBlur, ConeSpreadLeavesARingEmptyInside) {
  TDropShadow shadow;
  shadow.SetBlur(4);
  shadow.SetSpread(1);
  ASSERT_TRUE(shadow.Spreads());
  TRef<TBitmap> mask = shadow.Blur(*OpaqueSilhouette(60, 60));
  const int b = shadow.Border();
  EXPECT_EQ(mask->Row(b + 30)[b + 30], 0);  // full alpha inside maps to 0
  int ringMax = 0;
  for (int x = 0; x < b + 30; ++x) ringMax = std::max<int>(ringMax, mask->Row(b + 30)[x]);
  EXPECT_GE(ringMax, 250);  // half alpha along the edge maps to full
}

TEST(ShadowBlur, StopLeavesTheRestEmpty) {
  int asked = 0;
  TDropShadow shadow([&asked] { return ++asked < 3; });
  shadow.SetBlur(2);
  TRef<TBitmap> mask = shadow.Blur(*OpaqueSilhouette(40, 40));
  EXPECT_EQ(mask->Row(mask->Height() / 2)[mask->Width() / 2], 0);
}

TEST(ShadowColour, MaskBecomesAlphaOfTheColour) {
  TRef<TBitmap> mask = Mask(4, 2, {0, 128, 255, 1});
  const auto px = [](const TRef<TBitmap>& b, int x) {
    return reinterpret_cast<const uint32_t*>(b->Row(0))[x];
  };
  TRef<TBitmap> white = ColourMask(*mask, 0xFFFFFFFF, {});
  EXPECT_EQ(px(white, 0), 0x00FFFFFFu);
  EXPECT_EQ(px(white, 1), 0x80FFFFFFu);
  EXPECT_EQ(px(white, 2), 0xFFFFFFFFu);
  TRef<TBitmap> tinted = ColourMask(*mask, 0xC8102030, {});
  EXPECT_EQ(px(tinted, 0), 0x00102030u);
  EXPECT_EQ(px(tinted, 1), 0x64102030u);  // 128 x 200 / 255 = 100
  EXPECT_EQ(px(tinted, 2), 0xC8102030u);  // 255 gives the colour itself
  EXPECT_EQ(px(tinted, 3), 0x00102030u);  // 1 x 200 / 255 = 0
}

}  // namespace
}  // namespace vyr

// Shadow picture names, parameter comparison, normalised silhouettes and the halving limits.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/shadow/shadow_params.h"

namespace vyr {
namespace {

TShadowParams SampleParams() {
  TShadowParams p;
  p.pictureName = "pics\\a:b.png";
  p.left = 1.5f;
  p.top = 2;
  p.right = 101.254f;
  p.bottom = 50.1f;
  p.marginX = 3;
  p.marginY = 0.5f;
  p.frameAlpha = 128;
  p.blur = 16;
  p.spreadIndex = 5;
  p.fillKind = 6;
  p.startAlpha = 200;
  p.endAlpha = 10;
  p.level = 2;
  return p;
}

TEST(ShadowName, WritesThirteenValuesThenThePictureName) {
  EXPECT_EQ(ShadowPictureName(SampleParams()),
            "Shadow: 1.5:2:101.25:50.1:3:0.5:128:16:5:6:200:10:2:pics\\a:b.png");
  TShadowParams blurred;
  blurred.blur = 0.25f;
  EXPECT_EQ(ShadowPictureName(blurred), "Shadow: 0:0:0:0:0:0:255:0.25:0:8:255:255:0:N\\A");
}

TEST(ShadowName, ReadsBackWhatItWrote) {
  TShadowParams p = SampleParams();
  p.right = 101.25f;  // two decimals survive
  const TShadowParams back = ParseShadowPictureName(ShadowPictureName(p));
  EXPECT_TRUE(SameShadowParams(p, back));
  EXPECT_EQ(back.pictureName, "pics\\a:b.png");
  EXPECT_FLOAT_EQ(back.right, 101.25f);
  EXPECT_FLOAT_EQ(back.marginY, 0.5f);
}

TEST(ShadowName, UnreadableValuesTakeTheirFallbacks) {
  const TShadowParams p = ParseShadowPictureName("Shadow: x:2:y:4:::bad:1.5:z:?:9:-:1:pic");
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.top, 2);
  EXPECT_EQ(p.right, 0);
  EXPECT_EQ(p.frameAlpha, 255);  // unreadable frame alpha is opaque
  EXPECT_FLOAT_EQ(p.blur, 1.5f);
  EXPECT_EQ(p.spreadIndex, 0);
  EXPECT_EQ(p.fillKind, kFillSolid);  // unreadable fill kind is solid
  EXPECT_EQ(p.startAlpha, 9);
  EXPECT_EQ(p.endAlpha, 0);
  EXPECT_EQ(p.level, 1);
  EXPECT_EQ(p.pictureName, "pic");

  const TShadowParams shortName = ParseShadowPictureName("Shadow: 5");
  EXPECT_EQ(shortName.left, 5);
  EXPECT_EQ(shortName.frameAlpha, 255);
  EXPECT_EQ(shortName.pictureName, "");
  EXPECT_TRUE(IsShadowPictureName("Shadow: 1"));
  EXPECT_FALSE(IsShadowPictureName("Shadow:1"));
}

TEST(ShadowName, ComparisonIgnoresFollow3DAndSmallBlurChanges) {
  const TShadowParams a = SampleParams();
  TShadowParams b = a;
  b.follow3D = !a.follow3D;
  b.blur += 0.0005f;
  EXPECT_TRUE(SameShadowParams(a, b));
  b.blur += 0.01f;
  EXPECT_FALSE(SameShadowParams(a, b));
  b = a;
  b.animated = true;
  EXPECT_FALSE(SameShadowParams(a, b));
  b = a;
  b.level = 3;
  EXPECT_FALSE(SameShadowParams(a, b));
}

TEST(ShadowName, ScaledSilhouetteHoldsAbout40000Pixels) {
  TShadowParams box;
  box.right = 800;
  box.bottom = 200;
  box.blur = 16;
  const TShadowParams n = NormaliseScaledParams(box);
  EXPECT_EQ(n.right, 400);  // a = sqrt(40000 / 160000) = 0.5
  EXPECT_EQ(n.bottom, 100);
  EXPECT_FLOAT_EQ(n.blur, 16.0f * 200 / 400);  // sqrt(400 x 100) = 200
  EXPECT_EQ(n.pictureName, kNoShadowPicture);

  TShadowParams video;
  video.right = 1900;
  video.bottom = 1060;
  video.marginX = video.marginY = 10;
  const TShadowParams v = NormaliseScaledParams(video);
  const double a = std::sqrt(40000.0 / (1920.0 * 1080.0));
  EXPECT_EQ(v.right, std::round(1900 * a));
  EXPECT_EQ(v.marginX, std::round(10 * a));

  TShadowParams empty;
  EXPECT_EQ(NormaliseScaledParams(empty).right, 0);  // no division by zero
}

TEST(ShadowName, HalvingLimits) {
  struct TCase {
    float w, h;
    int k;
    float outW, outH;
  };
  const TCase cases[] = {
      {2000, 1000, 1, 1000, 500},  // 2,000,000 > 700,000; 500,000 is not
      {836, 836, 0, 836, 836},     // 698,896 stays
      {837, 837, 1, 418.5f, 418.5f},  {20000, 10, 1, 10000, 5},  // 10,000 a side is allowed
      {20001, 10, 2, 5000.25f, 2.5f}, {0, 0, 0, 0, 0},
  };
  for (const TCase& c : cases) {
    float w = c.w, h = c.h;
    EXPECT_EQ(ShadowHalvings(w, h), c.k) << c.w << " x " << c.h;
    EXPECT_FLOAT_EQ(w, c.outW);
    EXPECT_FLOAT_EQ(h, c.outH);
  }
  float w = 3e38f, h = 3e38f;
  EXPECT_GT(ShadowHalvings(w, h), 100);
  EXPECT_LE(static_cast<double>(w) * h, 700000.0);
  w = std::numeric_limits<float>::infinity();
  h = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(ShadowHalvings(w, h), 0);
  EXPECT_EQ(w, 0);
}

}  // namespace
}  // namespace vyr

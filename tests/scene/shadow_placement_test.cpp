// Where the shadow picture is drawn: offset by distance and angle, moved back by the blur
// border, scaled back from reduction levels and halvings.

#include <gtest/gtest.h>

#include <cmath>

#include "scene/shadow/shadow_placement.h"

namespace vyr {
namespace {

constexpr float kEps = 1e-4f;

TShadowParams Rect(float w, float h) {
  TShadowParams p;
  p.right = w;
  p.bottom = h;
  return p;
}

TShadowDrawInput Flat(float distance, float angle) {
  TShadowDrawInput in;
  in.origin = {100, 50, 0};
  in.axisX = {1, 0, 0};
  in.axisY = {0, 1, 0};
  in.opacity = 59;
  in.angle = angle;
  in.distance = distance;
  return in;
}

TEST(ShadowPlacement, DefaultTextShadowFallsBelowRight) {
  // Distance 1.5 % of a base of 100 pixels at 45 degrees; blur border 3 on each side.
  const auto plan = PlanShadowDraw(Rect(200, 40), false, 100, 206, 46, Flat(1.5f, 45));
  ASSERT_TRUE(plan.visible);
  const float d = 1.5f / std::sqrt(2.0f);
  EXPECT_NEAR(plan.origin.x, 100 + d - 3, kEps);
  EXPECT_NEAR(plan.origin.y, 50 + d - 3, kEps);
  EXPECT_NEAR(plan.axisX.x, 1, kEps);
  EXPECT_NEAR(plan.axisY.y, 1, kEps);
}

TEST(ShadowPlacement, LevelsAndHalvingsScaleTheAxes) {
  TShadowParams p = Rect(2000, 1000);  // halved once: G = 2
  p.level = 1;                         // J = 2
  TShadowDrawInput in = Flat(0, 0);
  in.cornerX = -8;
  in.cornerY = 4;
  // Picture (1000 + 20) x (500 + 20): the border of 10 is 40 object pixels.
  const auto plan = PlanShadowDraw(p, false, 100, 1020, 520, in);
  EXPECT_NEAR(plan.axisX.x, 4, kEps);
  EXPECT_NEAR(plan.axisY.y, 4, kEps);
  EXPECT_NEAR(plan.origin.x, 100 - 40, kEps);
  EXPECT_NEAR(plan.origin.y, 50 - 40, kEps);
  EXPECT_NEAR(plan.cornerX, -2, kEps);
  EXPECT_NEAR(plan.cornerY, 1, kEps);
}

TEST(ShadowPlacement, ScaledShadowUsesTheFullEdges) {
  // A 400 x 100 box normalised to 400 x 100 silhouette pixels; edges are the box's sides.
  TShadowDrawInput in = Flat(10, 90);
  in.axisX = {800, 0, 0};  // drawn twice as large
  in.axisY = {0, 200, 0};
  const auto plan = PlanShadowDraw(Rect(400, 100), true, 200, 406, 106, in);
  EXPECT_NEAR(plan.axisX.x, 2, kEps);
  EXPECT_NEAR(plan.axisY.y, 2, kEps);
  // D = sqrt(2 x 2) x 10 x 200 / 100 = 40, straight down; the border of 3 is 6 pixels.
  EXPECT_NEAR(plan.origin.x, 100 - 6, 1e-3);
  EXPECT_NEAR(plan.origin.y, 50 + 40 - 6, 1e-3);
}

TEST(ShadowPlacement, Follow3DTurnsTheOffsetWithTheObject) {
  TShadowDrawInput in = Flat(10, 0);
  in.axisX = {0, 1, 0};  // turned a quarter
  in.axisY = {-1, 0, 0};
  TShadowParams p = Rect(10, 10);
  const auto flat = PlanShadowDraw(p, false, 100, 10, 10, in);
  EXPECT_NEAR(flat.origin.x, 110, kEps);  // along the screen's x
  EXPECT_NEAR(flat.origin.y, 50, kEps);
  p.follow3D = true;
  const auto turned = PlanShadowDraw(p, false, 100, 10, 10, in);
  EXPECT_NEAR(turned.origin.x, 100, kEps);  // along the object's own x
  EXPECT_NEAR(turned.origin.y, 60, kEps);
}

TEST(ShadowPlacement, NothingWithoutOpacityOrSize) {
  TShadowDrawInput in = Flat(1, 45);
  in.opacity = 0;
  EXPECT_FALSE(PlanShadowDraw(Rect(10, 10), false, 100, 16, 16, in).visible);
  in.opacity = 50;
  EXPECT_FALSE(PlanShadowDraw(Rect(0, 0), true, 0, 6, 6, in).visible);
}

}  // namespace
}  // namespace vyr

#include "scene/shadow/shadow_placement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/bitmap/bitmap_store.h"
#include "scene/shadow/shadow.h"

namespace vyr {

namespace {

TVec3 Scaled(TVec3 v, double f) {
  return {static_cast<float>(v.x * f), static_cast<float>(v.y * f), static_cast<float>(v.z * f)};
}
TVec3 Plus(TVec3 a, TVec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double PlanarLength(TVec3 v) { return std::hypot(static_cast<double>(v.x), v.y); }

}  // namespace

TShadowDrawPlan PlanShadowDraw(const TShadowParams& params, bool scaled, float distanceBase,
                               int pictureWidth, int pictureHeight, const TShadowDrawInput& in) {
  TShadowDrawPlan plan;
  if (!(in.opacity > 0)) return plan;
  const double j = std::ldexp(1.0, std::clamp(params.level, 0, 30));
  float w = params.SilhouetteWidth(), h = params.SilhouetteHeight();
  TVec3 axisX = in.axisX, axisY = in.axisY;
  if (scaled) {
    if (!(w > 0) || !(h > 0)) return plan;
    axisX = Scaled(axisX, 1.0 / w);
    axisY = Scaled(axisY, 1.0 / h);
  }

  // The offset: a percentage of the object's size on the screen.
  const double lx = PlanarLength(axisX), ly = PlanarLength(axisY);
  const double d = std::sqrt(lx * ly) * in.distance * distanceBase / 100;
  const double a = in.angle * std::numbers::pi / 180;
  const double dx = std::cos(a) * d, dy = std::sin(a) * d;
  TVec3 origin = in.origin;
  if (params.follow3D) {
    // Along the object's own plane, the same length on the screen for a flat object.
    if (lx > 0) origin = Plus(origin, Scaled(axisX, dx / lx));
    if (ly > 0) origin = Plus(origin, Scaled(axisY, dy / ly));
  } else {
    origin.x += static_cast<float>(dx);
    origin.y += static_cast<float>(dy);
  }

  // Back by half the blur border, in object pixels.
  const double g = std::ldexp(1.0, ShadowHalvings(w, h));
  const double gj = g * j;
  const double borderX = (pictureWidth - w) / 2, borderY = (pictureHeight - h) / 2;
  origin = Plus(origin, Scaled(axisX, -borderX * gj));
  origin = Plus(origin, Scaled(axisY, -borderY * gj));

  plan.visible = true;
  plan.origin = origin;
  plan.axisX = Scaled(axisX, gj);
  plan.axisY = Scaled(axisY, gj);
  plan.cornerX = static_cast<float>(in.cornerX / gj);
  plan.cornerY = static_cast<float>(in.cornerY / gj);
  return plan;
}

TShadowDrawPlan PlanShadowDraw(const TShadow& shadow, const TShadowDrawInput& in) {
  if (!shadow.Picture()) return {};
  return PlanShadowDraw(shadow.Params(), shadow.Scaled(), shadow.DistanceBase(),
                        shadow.Picture()->Width(), shadow.Picture()->Height(), in);
}

}  // namespace vyr

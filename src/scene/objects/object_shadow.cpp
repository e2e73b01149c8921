#include "scene/objects/object_shadow.h"

#include <cmath>

#include "scene/objects/vyr_object.h"

namespace vyr {

TShadowParams BaseShadowParams(const TShadowSettings& settings, int level, bool animated) {
  TShadowParams params;
  params.startAlpha = params.endAlpha = 255;
  params.fillKind = kFillSolid;
  params.level = level;
  params.animated = animated;
  params.blur = settings.size;
  params.spreadIndex = settings.spreadIndex;
  params.follow3D = settings.follow3D;
  return params;
}

void TObjectShadow::Update(const TShadowParams& fresh, const TImage* picture,
                           const std::string& pictureName, TFileAccessor& files, float blurScale) {
  if (shadow_ && source_ == picture && shadow_->Matches(fresh)) {
    shadow_->SetFollow3D(fresh.follow3D);
    return;
  }
  shadow_ = MakeShadow(picture, pictureName, fresh, files, blurScale);
  source_ = picture;
}

void TObjectShadow::UpdateScaled(const TShadowParams& fresh, TFileAccessor& files) {
  if (shadow_ && shadow_->Scaled() && shadow_->Matches(fresh)) {
    shadow_->SetFollow3D(fresh.follow3D);
    return;
  }
  shadow_ = MakeScaledShadow(fresh, files);
  source_ = nullptr;
}

void TObjectShadow::Clear() {
  shadow_.Reset();
  source_ = nullptr;
}

void TObjectShadow::Draw(TDeviceDrawer& drawer, const TShadowSettings& settings,
                         const TShadowDrawInput& in, float distanceBase, const TVec3& axisZ) {
  if (!shadow_ || !shadow_->Picture()) return;
  shadow_->SetDistanceBase(distanceBase);
  const TShadowDrawPlan plan = PlanShadowDraw(*shadow_, in);
  if (!plan.visible) return;
  TImage& picture = *shadow_->Picture();
  TImageDrawParams params;
  params.placement.origin = plan.origin;
  params.placement.axisX = plan.axisX;
  params.placement.axisY = plan.axisY;
  params.placement.axisZ = axisZ;
  const TVec3 &x = plan.axisX, &y = plan.axisY, &z = axisZ;
  const double det = double(x.x) * (double(y.y) * z.z - double(y.z) * z.y) -
                     double(y.x) * (double(x.y) * z.z - double(x.z) * z.y) +
                     double(z.x) * (double(x.y) * y.z - double(x.z) * y.y);
  params.placement.inverseDeterminant = det != 0 ? 1 / det : 0;
  params.pivotRect = {plan.cornerX, plan.cornerY, plan.cornerX + picture.Width(),
                      plan.cornerY + picture.Height()};
  params.opacity = in.opacity;
  params.tint = settings.managedColor;
  params.antialiased = true;
  drawer.DrawImage(picture, params);
}

void TObjectShadow::DrawOverRect(TDeviceDrawer& drawer, const TShadowSettings& settings,
                                 const TPlacement& placement, const TFloatRect& rect,
                                 float opacity) {
  if (!shadow_ || !settings.enabled) return;
  auto scaled = [](const TVec3& v, float f) { return TVec3{v.x * f, v.y * f, v.z * f}; };
  TShadowDrawInput in;
  in.origin = placement.PointAt(rect.left, rect.top);
  in.axisX = scaled(placement.axisX, rect.Width());
  in.axisY = scaled(placement.axisY, rect.Height());
  in.opacity = opacity * settings.opacity / 100;
  in.angle = static_cast<float>(settings.angle);
  in.distance = settings.distance;
  const float base = std::sqrt(shadow_->Params().right * shadow_->Params().bottom);
  Draw(drawer, settings, in, base, placement.axisZ);
}

}  // namespace vyr

#include "scene/objects/vyr_object.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "scene/host/managed_colour.h"
#include "scene/host/slide_host.h"
#include "scene/object_kind.h"
#include "scene/objects/object_creator.h"
#include "scene/objects/object_keys.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

namespace {

constexpr double kRadians = std::numbers::pi / 180;

bool NearlyEqual(float a, float b) { return a == b || std::fabs(a - b) <= 1e-6f; }

}  // namespace

bool MouseHitFilter(const TVyrObject& object) { return !object.TranspForClick(); }

TVyrObject::TVyrObject(TVyrObject* parent, TRef<TVyrObjectProps> props)
    : TVyrParams(std::move(props)), parent_(parent) {
  if (parent) {
    root_ = parent->root_;
    depth_ = parent->depth_ + 1;
  }
  name_ = Props().Name();
}

void TVyrObject::Dispose() {
  ClearChildren();
  if (root_ && root_ != this) root_->Unlink(&Props(), this);
  TVyrParams::Dispose();
}

void TVyrObject::ClearChildren() {
  std::vector<TRef<TVyrObject>> old;
  old.swap(children_);
  old.clear();
}

bool TVyrObject::KeyframesIgnored() const {
  const int kind = Kind();
  return kind == kKindSplitter || kind == kKindMaskStencil || kind == kKindMaskContent;
}

void TVyrObject::ResetAnimatedValues() {
  for (int i = 0; i < kAnimatedValueCount; ++i)
    Props().SetAnimatedValue(i, kAnimatedFields[i].defaultValue);
}

void TVyrObject::SetOwnSize(float width, float height) {
  if (!(width == ownWidth_ && height == ownHeight_)) geometryChanged_ = true;
  ownWidth_ = std::isfinite(width) ? width : 0;
  ownHeight_ = std::isfinite(height) ? height : 0;
}

// ---- building ----

void TVyrObject::ReadKeys(const TIniObject* o) {
  if (!o) return;
  name_ = o->Name();
  const int kind = Kind();
  const bool mask = kind == kKindMaskStencil || kind == kKindMaskContent;
  fitMode_ = static_cast<TFitMode>(KeyEnum(o, "FitMode", {"None", "PlaceInto", "Cover"}, 1));
  posMode_ = static_cast<TUnitMode>(KeyEnum(o, "PosMode", {"Absolute", "Percent"}, 1));
  centerMode_ = static_cast<TUnitMode>(KeyEnum(o, "CenterMode", {"Absolute", "Percent"}, 1));
  transpForClick_ = KeyBool(o, "TranspForClick", mask);
  treeNode_ = KeyBool(o, "TreeNode", true);
  shadow_.enabled = KeyBool(o, "ShadowEnable", kind == kKindText);
  shadow_.size = KeyFloat(o, "ShadowSize", 16);
  shadow_.color = KeyColor(o, "ShadowColor", 0xFF000000);
  shadow_.managedColor = ManagedColour(GetHost(), shadow_.color);
  shadow_.opacity = KeyFloat(o, "ShadowOpacity", 59);
  shadow_.distance = KeyFloat(o, "ShadowDistance", 1.5f);
  shadow_.angle = KeyFloat(o, "ShadowAngle", 45);
  shadow_.spreadIndex = KeyInt(o, "ShadowSpreadIndex", 0);
  shadow_.follow3D = KeyBool(o, "3DShadow", false);
  hideMode_ = KeyInt(o, "HideMode", 0);
  childInvis_ = KeyBool(o, "ChildInvis", false);
  action_ = KeyText(o, "Action", "");
  changed_ = true;
}

void TVyrObject::Load(bool reuse) {
  if (!reuse) InitDefaults();
  ReadKeys(Props().IniObject());
  if (KeyframesIgnored()) ResetAnimatedValues();
  CreateChildren();
}

void TVyrObject::CreateChildren() {
  // The old list keeps reused objects alive until they are appended again.
  std::vector<TRef<TVyrObject>> old;
  old.swap(children_);
  TVyrObjectProps& props = Props();
  if (props.ChildCount() > 0 && depth_ + 1 > kMaxObjectDepth) {
    WriteLine("Slide \"" + (root_ ? root_->Name() : std::string()) +
              "\": objects nested deeper than " + std::to_string(kMaxObjectDepth) +
              " are not created (depth " + std::to_string(depth_ + 1) + ")");
    return;
  }
  for (int i = 0; i < props.ChildCount(); ++i) {
    TVyrObjectProps* childProps = props.Child(i);
    if (TVyrObject* linked = root_ ? root_->LinkedObject(childProps) : nullptr) {
      children_.push_back(TRef<TVyrObject>::Share(linked));
      linked->Load(true);
      continue;
    }
    TRef<TVyrObject> child =
        CreateSceneObject(childProps->Kind(), this, TRef<TVyrObjectProps>::Share(childProps));
    if (!child) continue;
    if (root_) root_->Link(childProps, child.Get());
    children_.push_back(child);
    child->Load(false);
  }
}

// ---- time ----

double TVyrObject::GetOriginTime(int origin) const {
  return root_ && root_ != this ? root_->GetOriginTime(origin) : 0;
}

void TVyrObject::SetTime(bool recursive, double t) {
  const double begin = GetOriginTime(kSlideBegin);
  const double end = GetOriginTime(kSlideEnd);
  if (!KeyframesIgnored()) Props().Evaluate(false, t - begin);
  const bool visible = (t - (begin + Props().DeltaTime1()) > -0.00001) &&
                       (t - (end - Props().DeltaTime2()) < 0.00001);
  if (visible != visible_) geometryChanged_ = true;
  visible_ = visible;
  if (recursive)
    for (auto& child : children_) child->SetTime(true, t);
}

void TVyrObject::Advance(bool recursive, double t) {
  SetTime(false, t);
  UpdateLayout(false);
  if (recursive)
    for (auto& child : children_) child->Advance(true, t);
}

// ---- layout ----

void TVyrObject::GetParentSize(float& width, float& height) const {
  const TVyrObject* source = parent_ ? parent_ : this;
  width = source->ownWidth_;
  height = source->ownHeight_;
}

const TPlacement& TVyrObject::GetParentPlacement() const {
  static const TPlacement unit;
  return parent_ ? parent_->placement_ : unit;
}

double TVyrObject::FitFactor(float pw, float ph) const {
  const double w = ownWidth_, h = ownHeight_;
  double f = 0;
  switch (fitMode_) {
    case TFitMode::None:  // no scaling: the own size is used as it is
      f = 1;
      break;
    case TFitMode::PlaceInto:
      f = (w > 0 && h > 0) ? std::min(pw / w, ph / h) : 0;
      break;
    case TFitMode::Cover: {
      const double m = (pw > 0 && ph > 0) ? std::min(w / pw, h / ph) : 0;
      f = m > 0 ? 1 / m : 0;
      break;
    }
  }
  return std::isfinite(f) ? f : 0;
}

void TVyrObject::ComputeScales(double fit) {
  sx_ = ScaleX() * fit * 0.01;
  sy_ = ScaleY() * fit * 0.01;
}

void TVyrObject::ComposePlacement() {
  const TMatrix3 local =
      LocalMatrix(sx_, sy_, AngleX() * kRadians, AngleY() * kRadians, Angle() * kRadians);
  composed_ = parent_ ? Multiply(local, parent_->composed_) : local;
  const float depth = root_ ? static_cast<float>(root_->DepthFactor()) : 1;
  TPlacement p;
  p.axisX = {composed_[0], composed_[1], composed_[2] * depth};
  p.axisY = {composed_[3], composed_[4], composed_[5] * depth};
  p.axisZ = {composed_[6], composed_[7], composed_[8] * depth};
  float pw, ph;
  GetParentSize(pw, ph);
  float x = PositionX(), y = PositionY();
  if (posMode_ == TUnitMode::Percent) {
    x = x * pw * 0.005f;
    y = y * ph * 0.005f;
  }
  const float z = ZPos() * ph / 200;
  const TPlacement& pp = GetParentPlacement();
  p.origin = Add(pp.origin, Add(Scale(pp.axisX, x), Add(Scale(pp.axisY, y), Scale(pp.axisZ, z))));
  const double det = Determinant(p);
  placementValid_ = std::isfinite(det) && std::fabs(det) > 1e-12 && Finite(p.origin) &&
                    Finite(p.axisX) && Finite(p.axisY) && Finite(p.axisZ);
  p.inverseDeterminant = placementValid_ ? 1 / det : 0;
  placement_ = p;
}

void TVyrObject::ComputePivot() {
  const float w = ownWidth_, h = ownHeight_;
  if (centerMode_ == TUnitMode::Percent) {
    pivotX_ = -CenterX() * w * 0.005f - w * 0.5f;
    pivotY_ = -CenterY() * h * 0.005f - h * 0.5f;
  } else {
    // Absolute: CenterPos is the pivot's offset from the rectangle's centre in own pixels.
    pivotX_ = -CenterX() - w * 0.5f;
    pivotY_ = -CenterY() - h * 0.5f;
  }
  if (!std::isfinite(pivotX_) || !std::isfinite(pivotY_)) {
    pivotX_ = pivotY_ = 0;
    placementValid_ = false;
  }
}

void TVyrObject::UpdateLayout(bool recursive) {
  float pw, ph;
  GetParentSize(pw, ph);
  ComputeScales(FitFactor(pw, ph));
  ComposePlacement();
  ComputePivot();
  FinishLayout(recursive);
}

void TVyrObject::FinishLayout(bool recursive) {
  hiddenBySide_ = (childInvis_ && HiddenBySideTest()) || (parent_ && parent_->hiddenBySide_);
  if (!geometryChanged_ && DiffersFromCommitted()) geometryChanged_ = true;
  if (recursive)
    for (auto& child : children_) child->UpdateLayout(true);
}

bool TVyrObject::HiddenBySideTest() const {
  if (hideMode_ == 0 || !placementValid_) return false;
  TVyrSlideHost* host = GetHost();
  if (!host) return false;
  const TVec3 normal = Cross(placement_.axisX, placement_.axisY);
  const double s = Dot(normal, Sub(host->CameraPosition(), placement_.origin));
  // With rows running down the screen, X x Y points away from a viewer facing the front.
  const bool viewerInFront = s < 0;
  return viewerInFront ? (hideMode_ & 1) != 0 : hideMode_ > 1;
}

void TVyrObject::Corners(TVec3 corners[4]) const {
  const TFloatRect r = PivotRect();
  corners[0] = placement_.PointAt(r.left, r.top);
  corners[1] = placement_.PointAt(r.right, r.top);
  corners[2] = placement_.PointAt(r.right, r.bottom);
  corners[3] = placement_.PointAt(r.left, r.bottom);
}

// ---- state ----

float TVyrObject::GetOpacity() const {
  const float root = root_ ? root_->GetRootOpacity() : 100;
  return root * Opacity() / 100;
}

float TVyrObject::GetBlurAmount() const {
  if (!visible_) return 0;
  const float amount = (root_ ? root_->OwnWidth() : ownWidth_) * Blur();
  return std::isfinite(amount) ? amount : 0;
}

bool TVyrObject::IsChanged() const {
  if (changed_ || geometryChanged_) return true;
  for (const auto& child : children_)
    if (child->IsChanged()) return true;
  return false;
}

bool TVyrObject::DiffersFromCommitted() const {
  const TCommitted& c = committed_;
  const TVyrObjectProps& props = Props();
  return !NearlyEqual(c.opacity, GetOpacity()) || !NearlyEqual(c.blur, GetBlurAmount()) ||
         !(c.visible == VisibleSubRect()) || c.leftFilters != props.ColorLeftFilters() ||
         c.rightFilters != props.ColorRightFilters() ||
         !NearlyEqual(c.colourFraction, static_cast<float>(props.ColorFraction())) ||
         !SamePlacement(c.placement, placement_) || c.pivotX != pivotX_ || c.pivotY != pivotY_;
}

void TVyrObject::CommitState(bool recursive) {
  TCommitted& c = committed_;
  const TVyrObjectProps& props = Props();
  c.opacity = GetOpacity();
  c.blur = GetBlurAmount();
  c.visible = VisibleSubRect();
  c.leftFilters = props.ColorLeftFilters();
  c.rightFilters = props.ColorRightFilters();
  c.colourFraction = static_cast<float>(props.ColorFraction());
  c.placement = placement_;
  c.pivotX = pivotX_;
  c.pivotY = pivotY_;
  changed_ = geometryChanged_ = false;
  if (recursive)
    for (auto& child : children_) child->CommitState(true);
}

void TVyrObject::FinishFrame() {
  for (auto& child : children_) child->FinishFrame();
}

void TVyrObject::RequestFrames(TDeviceDrawer& drawer, double slideTime) {
  for (auto& child : children_) child->RequestFrames(drawer, slideTime);
}

// ---- drawing ----

void TVyrObject::Draw(TDeviceDrawer& drawer) {
  try {
    if (visible_ && placementValid_ && !hiddenBySide_ && !HiddenBySideTest()) DrawSelf(drawer);
  } catch (const std::exception& e) {
    WriteLine("Object \"" + name_ + "\" not drawn: " + e.what());
  }
  CommitState(false);
  for (auto& child : children_) drawer.DrawItem(*child);
}

void TVyrObject::GetColourLookup(TImageDrawParams& params) { params.lutForm = TLutForm::kNone; }

void TVyrObject::PrepareResources(TDeviceDrawer& drawer) {
  // As in drawing, one object that fails does not keep the others from their pictures.
  for (auto& child : children_) {
    try {
      child->PrepareResources(drawer);
    } catch (const std::exception& e) {
      WriteLine("Object \"" + child->name_ + "\" not prepared: " + e.what());
    }
  }
}

void TVyrObject::ReleaseResources() {
  for (auto& child : children_) child->ReleaseResources();
}

TVyrSlideHost* TVyrObject::GetHost() const { return root_ ? root_->GetHost() : nullptr; }

TVyrSlide* TVyrObject::GetRootSlide() { return root_; }

// ---- hit testing ----

TVyrObject* TVyrObject::FindAt(float x, float y, const TObjectHitFilter& filter) {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (TVyrObject* hit = (*it)->FindAt(x, y, filter)) return hit;
  if (HitTest(x, y) && (!filter || filter(*this))) return this;
  return nullptr;
}

bool TVyrObject::HitTest(float x, float y) {
  if (!visible_ || hiddenBySide_ || HiddenBySideTest()) return false;
  return HitTestSelf(x, y);
}

bool TVyrObject::HitPlacement(TPlacement& placement) {
  if (placementValid_) {
    placement = placement_;
    return true;
  }
  // A placement that cannot be inverted (a zero scale, a turn edge-on): the object's
  // rectangle is tested unturned at the root's scale, where the object stands.
  AskHost();
  if (!root_ || root_ == this || !root_->PlacementValid() || !Finite(placement_.origin))
    return false;
  placement = root_->Placement();
  placement.origin = placement_.origin;
  return true;
}

bool TVyrObject::PlanePointAt(float x, float y, float& u, float& v) {
  TVyrSlideHost* host = GetHost();
  TPlacement placement;
  if (!host || !HitPlacement(placement)) return false;
  TVec3 origin, direction;
  if (!host->ViewRay(x, y, origin, direction)) return false;
  return PlanePoint(placement, origin, direction, u, v);
}

bool TVyrObject::HitTestSelf(float x, float y) {
  if (!(ownWidth_ > 0) || !(ownHeight_ > 0)) return false;
  float u, v;
  if (!PlanePointAt(x, y, u, v)) return false;
  return u >= pivotX_ && u <= pivotX_ + ownWidth_ && v >= pivotY_ && v <= pivotY_ + ownHeight_;
}

// ---- preparation ----

void TVyrObject::ResetPreparation() {
  largestWidth_ = largestHeight_ = 0;
  nearestDepth_ = 1000000;
}

void TVyrObject::MeasurePreparation(const TCamera& camera) {
  if (!placementValid_) return;
  TVec3 c[4], p[4];
  Corners(c);
  for (int i = 0; i < 4; ++i) p[i] = ProjectPoint(camera, c[i]);
  auto length = [](const TVec3& a, const TVec3& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
  };
  const double zoom = Zoom();
  const double w = zoom * std::max(length(p[0], p[1]), length(p[3], p[2])) * 0.01;
  const double h = zoom * std::max(length(p[0], p[3]), length(p[1], p[2])) * 0.01;
  if (std::isfinite(w)) largestWidth_ = std::max(largestWidth_, w);
  if (std::isfinite(h)) largestHeight_ = std::max(largestHeight_, h);
  for (const TVec3& corner : c)
    if (std::isfinite(corner.z)) nearestDepth_ = std::min<double>(nearestDepth_, corner.z);
}

bool TVyrObject::SetNeededSize(float width, float height) {
  const bool changed =
      std::fabs(width - neededWidth_) > 0.000001f || std::fabs(height - neededHeight_) > 0.000001f;
  neededWidth_ = width;
  neededHeight_ = height;
  return changed;
}

}  // namespace vyr

#pragma once
// The scene object: keys shared by every kind, layout into a 3D placement, visibility and
// opacity at a time, hit testing, drawing and change tracking. Sizes are pixels of the
// slide's design frame; placements are drawing coordinates (camera.h).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "project/action.h"
#include "scene/device_drawer.h"
#include "scene/objects/placement_math.h"
#include "scene/objects/vyr_params.h"

namespace vyr {

class TVyrSlide;
class TVyrSlideHost;

enum class TFitMode : uint8_t { None = 0, PlaceInto = 1, Cover = 2 };
enum class TUnitMode : uint8_t { Absolute = 0, Percent = 1 };

// Objects deeper than this below their slide are not created.
inline constexpr int kMaxObjectDepth = 256;

struct TShadowSettings {
  bool enabled = false;
  uint32_t color = 0xFF000000;
  uint32_t managedColor = 0xFF000000;  // color in the display profile: what is drawn
  float opacity = 59;
  float distance = 1.5f;
  double angle = 45;
  float size = 16;
  int spreadIndex = 0;
  bool follow3D = false;
};

class TVyrObject;
using TObjectHitFilter = std::function<bool(const TVyrObject&)>;
// The mouse's filter: objects with TranspForClick pass hits on.
bool MouseHitFilter(const TVyrObject& object);

class TVyrObject : public TVyrParams {
 public:
  TVyrObject(TVyrObject* parent, TRef<TVyrObjectProps> props);

  // Draw item.
  bool IsChanged() const override;
  float GetBlurAmount() const override;
  void FinishFrame() override;
  void Draw(TDeviceDrawer& drawer) override;

  virtual float GetOpacity() const;
  virtual void UpdateLayout(bool recursive);
  // Show time of origin 0..3 (SlideBegin, PrevEffectEnd, NextEffectBegin, SlideEnd).
  virtual double GetOriginTime(int origin) const;
  virtual void GetParentSize(float& width, float& height) const;
  virtual const TPlacement& GetParentPlacement() const;
  virtual bool HitTestSelf(float x, float y);
  virtual void DrawSelf(TDeviceDrawer& /*drawer*/) {}
  // The colour lookups of the current time into the draw record.
  virtual void GetColourLookup(TImageDrawParams& params);
  virtual void CreateChildren();
  virtual void ReadKeys(const TIniObject* object);
  // ReadKeys and CreateChildren; reuse: the object was kept from an earlier load.
  virtual void Load(bool reuse);
  virtual void SetTime(bool recursive, double showTime);
  virtual void InitDefaults() {}
  // False when the object has no natural size of its own.
  virtual bool GetNaturalSize(float& /*width*/, float& /*height*/) { return false; }
  virtual void SetPressed(bool pressed) { pressed_ = pressed; }
  virtual TVyrSlideHost* GetHost() const;
  virtual TVyrSlide* GetRootSlide();
  // Before a hit test against an invalid placement: kinds that take their placement from the
  // host refresh it here.
  virtual void AskHost() {}
  virtual void PrepareResources(TDeviceDrawer& drawer);
  // Before the object is shown at slide-relative time slideTime: video clips start decoding
  // the frames for it (every object passes the call on to its children).
  virtual void RequestFrames(TDeviceDrawer& drawer, double slideTime);
  virtual void ReleaseResources();
  virtual TVyrObject* FindAt(float x, float y, const TObjectHitFilter& filter);
  virtual bool HitTest(float x, float y);
  virtual void Advance(bool recursive, double showTime);
  virtual void CommitState(bool recursive);

  const std::string& Name() const { return name_; }
  int Kind() const { return Props().Kind(); }
  TVyrObject* Parent() const { return parent_; }
  int Depth() const { return depth_; }
  int ChildCount() const { return static_cast<int>(children_.size()); }
  TVyrObject* Child(int i) const { return children_[i].Get(); }

  float OwnWidth() const { return ownWidth_; }
  float OwnHeight() const { return ownHeight_; }
  void SetOwnSize(float width, float height);
  const TPlacement& Placement() const { return placement_; }
  bool PlacementValid() const { return placementValid_; }
  float PivotX() const { return pivotX_; }
  float PivotY() const { return pivotY_; }
  // The object's rectangle in its own plane.
  TFloatRect PivotRect() const {
    return {pivotX_, pivotY_, pivotX_ + ownWidth_, pivotY_ + ownHeight_};
  }
  // Corners of the rectangle in drawing coordinates: top-left, top-right, bottom-right,
  // bottom-left.
  void Corners(TVec3 corners[4]) const;
  const TMatrix3& Composed() const { return composed_; }
  double EffectiveScaleX() const { return sx_; }
  double EffectiveScaleY() const { return sy_; }

  bool Visible() const { return visible_; }
  // Hidden by HideMode from the current camera.
  bool HiddenBySideTest() const;
  bool HiddenBySide() const { return hiddenBySide_; }
  bool TranspForClick() const { return transpForClick_; }
  const std::string& ActionText() const { return action_; }
  TVyrActionInfo Action() const { return ParseAction(action_); }
  bool Pressed() const { return pressed_; }
  TFitMode FitMode() const { return fitMode_; }
  int HideMode() const { return hideMode_; }
  bool ChildInvis() const { return childInvis_; }
  const TShadowSettings& Shadow() const { return shadow_; }
  bool GeometryChanged() const { return geometryChanged_; }
  bool ContentChanged() const { return changed_; }
  void MarkChanged() { changed_ = true; }

  // Preparation results.
  double LargestWidth() const { return largestWidth_; }
  double LargestHeight() const { return largestHeight_; }
  double NearestDepth() const { return nearestDepth_; }
  float NeededWidth() const { return neededWidth_; }
  float NeededHeight() const { return neededHeight_; }
  void ResetPreparation();
  void MeasurePreparation(const TCamera& camera);
  // The needed size changed in the preparation pass (texts rebuild their pictures).
  virtual void NeededSizeChanged() {}
  // Returns whether the needed size changed by more than 0.000001.
  bool SetNeededSize(float width, float height);

 protected:
  void Dispose() override;
  // Steps shared by the layouts of all kinds.
  void ComputeScales(double fit);
  void ComputeScalesDirect(double sx, double sy) {
    sx_ = sx;
    sy_ = sy;
  }
  // The point (u, v) of the object's plane seen at window point (x, y).
  bool PlanePointAt(float x, float y, float& u, float& v);
  // The placement hit tests use; false when there is none.
  bool HitPlacement(TPlacement& placement);
  void ComposePlacement();
  void ComputePivot();
  void FinishLayout(bool recursive);
  double FitFactor(float parentWidth, float parentHeight) const;
  // The visible sub-rectangle the layout remembers for change tracking.
  virtual TFloatRect VisibleSubRect() const { return {}; }
  // A kind that ignores its keyframes keeps the values it was created with.
  bool KeyframesIgnored() const;
  void ClearChildren();
  // Values of a kind that ignores its keyframes: the defaults, never evaluated.
  void ResetAnimatedValues();

  TVyrSlide* root_ = nullptr;  // the slide at the top (this for a slide)

  std::string name_;
  bool changed_ = true;
  bool geometryChanged_ = true;
  bool transpForClick_ = false;
  std::string action_;
  TShadowSettings shadow_;
  float ownWidth_ = 0, ownHeight_ = 0;
  TFitMode fitMode_ = TFitMode::PlaceInto;
  TUnitMode posMode_ = TUnitMode::Percent;
  TUnitMode centerMode_ = TUnitMode::Percent;
  int hideMode_ = 0;
  bool childInvis_ = false;
  bool treeNode_ = true;
  bool pressed_ = false;

 private:
  struct TCommitted {
    float opacity = -1, blur = -1;
    TFloatRect visible;
    const void* leftFilters = nullptr;
    const void* rightFilters = nullptr;
    float colourFraction = -1;
    TPlacement placement;
    float pivotX = 0, pivotY = 0;
  };
  bool DiffersFromCommitted() const;

  TVyrObject* parent_;
  int depth_ = 0;
  std::vector<TRef<TVyrObject>> children_;
  double sx_ = 0, sy_ = 0;
  TMatrix3 composed_ = kIdentity3;
  float pivotX_ = 0, pivotY_ = 0;
  bool visible_ = false;
  TPlacement placement_;
  bool placementValid_ = false;
  bool hiddenBySide_ = false;
  TCommitted committed_;
  double largestWidth_ = 0, largestHeight_ = 0, nearestDepth_ = 1000000;
  float neededWidth_ = 0, neededHeight_ = 0;
};

}  // namespace vyr

#pragma once
// A picture object: its picture from the host, framing (aspect, zoom and pan, border, crop),
// reduction level, sprite-sheet animation and colour lookups.

#include <memory>
#include <optional>
#include <string>

#include "imaging/bitmap/bitmap_store.h"
#include "scene/filters/colour_lut.h"
#include "scene/objects/frame_computation.h"
#include "scene/objects/object_shadow.h"
#include "scene/objects/vyr_object.h"

namespace vyr {

enum TMouseState : int { kStateNormal = 0, kStateHover = 1, kStateClick = 2 };

class TVyrImage : public TVyrObject {
 public:
  using TVyrObject::TVyrObject;

  bool IsChanged() const override;
  void UpdateLayout(bool recursive) override;
  void DrawSelf(TDeviceDrawer& drawer) override;
  void GetColourLookup(TImageDrawParams& params) override;
  void ReadKeys(const TIniObject* object) override;
  void SetTime(bool recursive, double showTime) override;
  void InitDefaults() override;
  bool GetNaturalSize(float& width, float& height) override;
  void PrepareResources(TDeviceDrawer& drawer) override;
  void ReleaseResources() override;
  void CommitState(bool recursive) override;

  virtual void FillDrawParams(TDeviceDrawer& drawer, TImageDrawParams& params);
  // Obtains the picture when it has none; true when there is one.
  virtual bool EnsureImage();
  // Decodes the picture at the level it will be drawn at, without a drawer, so that preparing
  // it later only uploads. A picture that does not decode is left to its preparation.
  void DecodeAtDrawLevel();
  virtual float GetDrawOpacity() const { return GetOpacity(); }
  // What a caption's opacity is multiplied by (percent): the button's opacity.
  virtual float GetDrawCaptionOpacity() const { return GetOpacity(); }

  // Texts and buttons change with the mouse.
  virtual bool TakesMouseStates() const { return false; }
  virtual bool ReactsToMouse() const { return false; }
  virtual void SetMouseState(int state) { mouseState_ = state; }
  int MouseState() const { return mouseState_; }

  TImage* Picture() const { return image_.Get(); }
  const std::string& ImageName() const { return imageName_; }
  std::optional<int> ImageIndex() const { return imageIndex_; }
  const TBorderParams& Border() const { return border_; }
  const TImageAnimationParams& Animation() const { return animation_; }
  int AnimationFrameIndex() const { return animationFrame_; }
  int ReductionLevelValue() const { return level_; }
  TFloatRect Visible() const { return visible_; }
  float BorderMargin() const { return margin_; }
  TFiltering Filtering() const { return filtering_; }
  float LodBias() const { return lodBias_; }
  bool Antialiased() const { return antialiased_; }
  // The name the picture is requested under.
  virtual std::string RequestName() const;
  TShadow* DropShadow() const { return dropShadow_.Get(); }

  // The shadow's silhouette rectangle, margins and frame alpha at the reduction level.
  virtual void ShadowSilhouette(TShadowParams& params) const;
  virtual float ShadowBlurScale() const;
  // The length the shadow distance is a percentage of.
  virtual float ShadowDistanceBase() const;

 protected:
  TFloatRect VisibleSubRect() const override { return visible_; }
  // A picture arrived: the natural size follows it.
  void TakePicture(TRef<TImage> picture);
  void PreparePicture(TDeviceDrawer& drawer);
  void ComputeFrameAndLevel();
  void UpdateShadow();
  void DrawShadow(TDeviceDrawer& drawer, const TImageDrawParams& objectParams);
  float NaturalWidth() const;
  float NaturalHeight() const;

  bool antialiased_ = true;
  TFiltering filtering_ = TFiltering::Default;
  std::string imageName_;
  float lodBias_ = 0;
  int replaceWithEffectBuffer_ = 0;
  TBorderParams border_;
  TImageAnimationParams animation_;
  std::optional<int> imageIndex_;
  bool restoreAlpha_ = false;
  TRef<TImage> image_;
  TRef<TImage> previousImage_;
  bool requested_ = false;
  int mouseState_ = kStateNormal;

 private:
  TFloatRect visible_;
  float margin_ = 0;
  int level_ = 0;
  int handedLevel_ = -1;
  int animationFrame_ = 0;
  bool animationFrameChanged_ = false;
  // Brings the picture's embedded profile to the display's; none when nothing converts.
  std::shared_ptr<const TColorLut> colourManagement_;
  TFilterTableCache leftTables_, rightTables_;
  TObjectShadow dropShadow_;
};

}  // namespace vyr

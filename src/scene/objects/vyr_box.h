#pragma once
// Frames, boxes and splitters: a rectangle of a given size, filled solid or with a gradient.

#include "scene/objects/object_shadow.h"
#include "scene/objects/vyr_object.h"

namespace vyr {

class TVyrBox : public TVyrObject {
 public:
  using TVyrObject::TVyrObject;

  void ReadKeys(const TIniObject* object) override;
  void DrawSelf(TDeviceDrawer& drawer) override;
  void PrepareResources(TDeviceDrawer& drawer) override;
  void ReleaseResources() override;

  TBoxFill Fill() const { return fill_; }
  uint32_t Color1() const { return color1_; }  // 0xAARRGGBB with Alpha1
  uint32_t Color2() const { return color2_; }
  // Whether drawing would show anything.
  bool Drawable() const;
  TShadow* DropShadow() const { return dropShadow_.Get(); }

 private:
  TBoxFill fill_ = TBoxFill::Solid;
  uint32_t color1_ = 0xFF000000, color2_ = 0xFF000000;
  bool antialiased_ = false;
  TObjectShadow dropShadow_;
};

}  // namespace vyr

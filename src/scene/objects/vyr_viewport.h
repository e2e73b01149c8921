#pragma once
// A viewport draws its mask-content child through its mask-stencil child.

#include "scene/objects/vyr_object.h"

namespace vyr {

class TVyrViewPort : public TVyrObject {
 public:
  using TVyrObject::TVyrObject;

  void Draw(TDeviceDrawer& drawer) override;
  void ReadKeys(const TIniObject* object) override;
  void InitDefaults() override { SetOwnSize(1, 1); }

  TVyrObject* Stencil() const;
  TVyrObject* Content() const;

 private:
  TVyrObject* ChildOfKind(int kind) const;
};

// Mask parts take their parent's size and let mouse hits through by default.
class TVyrMaskPart : public TVyrObject {
 public:
  using TVyrObject::TVyrObject;
  void UpdateLayout(bool recursive) override;
};

class TVyrMaskStencil : public TVyrMaskPart {
 public:
  using TVyrMaskPart::TVyrMaskPart;
};

class TVyrMaskContent : public TVyrMaskPart {
 public:
  using TVyrMaskPart::TVyrMaskPart;
};

}  // namespace vyr

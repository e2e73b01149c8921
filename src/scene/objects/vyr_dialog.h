#pragma once
// A dialog is a slide drawn over the show with its own fade.

#include "scene/objects/vyr_slide.h"

namespace vyr {

class TVyrDialog : public TVyrSlide {
 public:
  using TVyrSlide::TVyrSlide;

  // Only the objects: a dialog has no background of its own.
  void Draw(TDeviceDrawer& drawer) override;
  float GetRootOpacity() const override { return fade_; }
  void SetFade(float percent) { fade_ = percent; }

 private:
  float fade_ = 100;
};

}  // namespace vyr

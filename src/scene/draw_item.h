#pragma once
// Everything the drawer draws (slide objects, the root item, the overlay) is a draw item.

#include "foundation/ref_object.h"

namespace vyr {

class TDeviceDrawer;

class TDrawItem : public TRefObject {
 public:
  // True when something drawn by the item differs from the last drawn frame.
  virtual bool IsChanged() const { return false; }
  // Positive: drawn blurred; negative: drawn sharpened (see TDeviceDrawer::DrawItem).
  virtual float GetBlurAmount() const { return 0; }
  // Called after each frame the item took part in, also when presenting failed.
  virtual void FinishFrame() {}
  virtual void Draw(TDeviceDrawer& drawer) = 0;
};

}  // namespace vyr

#pragma once
// Everything the drawer draws (slide objects, the root item, the overlay) is a draw item.

#include <atomic>
#include <cstdint>

#include "foundation/ref_object.h"

namespace vyr {

class TDeviceDrawer;

class TDrawItem : public TRefObject {
 public:
  TDrawItem() : serial_(NextSerial()) {}

  // True when something drawn by the item differs from the last drawn frame.
  virtual bool IsChanged() const { return false; }
  // Positive: drawn blurred; negative: drawn sharpened (see TDeviceDrawer::DrawItem).
  virtual float GetBlurAmount() const { return 0; }
  // Called after each frame the item took part in, also when presenting failed.
  virtual void FinishFrame() {}
  virtual void Draw(TDeviceDrawer& drawer) = 0;

  // Unique for the life of the process, unlike an address: what the drawer keeps of an item
  // is never taken for a later item made at the same place.
  uint64_t Serial() const { return serial_; }

 private:
  static uint64_t NextSerial() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
  }
  const uint64_t serial_;
};

}  // namespace vyr

#pragma once
// The overlay layer `TThirdSlide` as far as frames need it now: the last draw item of the
// root item, with a draw list of pictures placed in window pixels, and the background
// bands drawn at their place in its layer order.

#include <vector>

#include "imaging/bitmap/bitmap_store.h"
#include "render/compose/root_item.h"

namespace vyr {

struct TOverlayRecord {
  TRef<TImage> picture;  // none: the record is skipped
  TImageDrawParams params;
  // Placement in window pixels: the picture's pixel (x, y) lands at
  // (left + x * scaleX, top + y * scaleY).
  float left = 0, top = 0, scaleX = 1, scaleY = 1;
};

class TThirdSlide : public TDrawItem {
 public:
  explicit TThirdSlide(TRootItem* root) : root_(root) {}

  // Appends a record showing the picture at the rectangle; its index.
  int AddPicture(TRef<TImage> picture, float left, float top, float scaleX, float scaleY,
                 float opacity = 100);
  TOverlayRecord& Record(int index) { return records_.at(static_cast<size_t>(index)); }
  int RecordCount() const { return static_cast<int>(records_.size()); }
  // The first record drawn above the background bands (none: the bands come last).
  void SetBandsBefore(int index) { bandsBefore_ = index; }
  void SetContentChanged() { contentChanged_ = true; }

  bool IsChanged() const override { return structureChanged_ || contentChanged_; }
  void Draw(TDeviceDrawer& drawer) override;

 private:
  TRootItem* root_;  // owns this overlay
  std::vector<TOverlayRecord> records_;
  int bandsBefore_ = -1;
  bool structureChanged_ = true;
  bool contentChanged_ = false;
};

}  // namespace vyr

#pragma once
// The drawing side of the layer above the slides: the last draw item of the root item, a
// list of pictures placed in window pixels, with the background bands drawn at their place
// in its order. The overlay proper (logo, dialogs, navigation panel) builds on it.

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
  bool hidden = false;  // skipped while set (the panel while a frame is captured)
};

class TOverlayDrawList : public TDrawItem {
 public:
  explicit TOverlayDrawList(TRootItem* root) : root_(root) {}

  // Appends a record showing the picture at the rectangle; its index.
  int AddPicture(TRef<TImage> picture, float left, float top, float scaleX, float scaleY,
                 float opacity = 100);
  TOverlayRecord& Record(int index) { return records_.at(static_cast<size_t>(index)); }
  const TOverlayRecord& Record(int index) const { return records_.at(static_cast<size_t>(index)); }
  int RecordCount() const { return static_cast<int>(records_.size()); }
  // The first record drawn above the background bands (none: the bands come last).
  void SetBandsBefore(int index) { bandsBefore_ = index; }
  void SetStructureChanged() { structureChanged_ = true; }
  void SetContentChanged() { contentChanged_ = true; }
  bool StructureChanged() const { return structureChanged_; }
  bool ContentChanged() const { return contentChanged_; }

  bool IsChanged() const override { return structureChanged_ || contentChanged_; }
  void Draw(TDeviceDrawer& drawer) override;

 protected:
  // Drawn before the records (dialogs).
  virtual void DrawBelowRecords(TDeviceDrawer& /*drawer*/) {}
  virtual void DrawRecord(TDeviceDrawer& drawer, TOverlayRecord& record);
  TRootItem* Root() const { return root_; }

 private:
  TRootItem* root_;  // owns this overlay
  std::vector<TOverlayRecord> records_;
  int bandsBefore_ = -1;
  bool structureChanged_ = true;
  bool contentChanged_ = false;
};

// The draw parameters that put a record's picture at its placement.
TImageDrawParams RecordDrawParams(const TOverlayRecord& record);

}  // namespace vyr

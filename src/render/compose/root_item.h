#pragma once
// `TRootItem`: what one frame shows, in drawing order: the leaving slide and the arriving
// one (or only the current slide), then the overlay as the last item. It draws the running
// transition, the optional sharpening of the slide area and the background bands around
// the slide rectangle.

#include <vector>

#include "project/effects/vyr_effect.h"
#include "scene/device_drawer.h"

namespace vyr {

// The four bands around the clip rectangle widened by one pixel on each side, inside an
// area of width x height; empty bands are left out.
std::vector<TIntRect> BackgroundBands(const TIntRect& clip, int width, int height);

class TRootItem : public TDrawItem {
 public:
  void SetItems(std::vector<TRef<TDrawItem>> items);
  const std::vector<TRef<TDrawItem>>& Items() const { return items_; }
  // The arriving slide's transition (none: no transition is running).
  void SetFilter(TRef<TVyrFilter> filter);
  TVyrFilter* Filter() const { return filter_.Get(); }
  // colour: 0xRRGGBB.
  void SetBackground(bool on, uint32_t colour);
  // opt_scr_unsharpamount: percent of the difference added back; 0 for none.
  void SetSharpenAmount(float amount) { sharpenAmount_ = amount; }
  // The whole drawing area (for the bands); defaults to the drawer's clip rectangle.
  void SetArea(int width, int height);
  void MarkChanged() { changed_ = true; }

  bool IsChanged() const override;
  void FinishFrame() override;
  void Draw(TDeviceDrawer& drawer) override;

  // Fills the bands with the background colour (when the background is on).
  void DrawBackground(TDeviceDrawer& drawer) const;

 private:
  std::vector<TRef<TDrawItem>> items_;
  std::vector<TRef<TDrawItem>> previousItems_;
  TRef<TVyrFilter> filter_;
  double drawnFilterTime_ = -1;
  bool changed_ = true;
  bool background_ = false;
  uint32_t backgroundColour_ = 0;
  float sharpenAmount_ = 0;
  int areaWidth_ = 0, areaHeight_ = 0;
};

}  // namespace vyr

#include "render/compose/root_item.h"

#include "foundation/log.h"

namespace vyr {

std::vector<TIntRect> BackgroundBands(const TIntRect& clip, int width, int height) {
  const TIntRect hole{clip.left - 1, clip.top - 1, clip.right + 1, clip.bottom + 1};
  const TIntRect bands[4] = {{0, 0, width, hole.top},
                             {0, hole.bottom, width, height},
                             {0, hole.top, hole.left, hole.bottom},
                             {hole.right, hole.top, width, hole.bottom}};
  std::vector<TIntRect> result;
  const TIntRect area{0, 0, width, height};
  for (const TIntRect& band : bands) {
    const TIntRect inside = Intersect(band, area);
    if (!inside.Empty()) result.push_back(inside);
  }
  return result;
}

void TRootItem::SetItems(std::vector<TRef<TDrawItem>> items) { items_ = std::move(items); }

void TRootItem::SetFilter(TRef<TVyrFilter> filter) {
  if (filter.Get() != filter_.Get()) changed_ = true;
  filter_ = std::move(filter);
}

void TRootItem::SetBackground(bool on, uint32_t colour) {
  if (on != background_ || colour != backgroundColour_) changed_ = true;
  background_ = on;
  backgroundColour_ = colour & 0xFFFFFF;
}

void TRootItem::SetArea(int width, int height) {
  areaWidth_ = width;
  areaHeight_ = height;
}

bool TRootItem::IsChanged() const {
  if (changed_ || items_.size() != previousItems_.size()) return true;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Get() != previousItems_[i].Get()) return true;
  if (filter_ && filter_->CurrentTime() != drawnFilterTime_) return true;
  for (const auto& item : items_)
    if (item && item->IsChanged()) return true;
  return false;
}

void TRootItem::FinishFrame() {
  for (const auto& item : items_)
    if (item) item->FinishFrame();
  previousItems_ = items_;
  drawnFilterTime_ = filter_ ? filter_->CurrentTime() : -1;
  changed_ = false;
}

void TRootItem::DrawBackground(TDeviceDrawer& drawer) const {
  if (!background_) return;
  const TIntRect& clip = drawer.ClipRect();
  const int width = areaWidth_ > 0 ? areaWidth_ : clip.right;
  const int height = areaHeight_ > 0 ? areaHeight_ : clip.bottom;
  for (const TIntRect& band : BackgroundBands(clip, width, height))
    drawer.FillRect(0xFF000000 | backgroundColour_, band);
}

void TRootItem::Draw(TDeviceDrawer& drawer) {
  try {
    const bool sharpen = sharpenAmount_ > 0;
    if (sharpen) drawer.BeginSharpen();
    const size_t count = items_.size();
    const bool transition = filter_ && count >= 2;
    // The overlay is the last item; the two slides of a transition are never taken for it.
    const size_t overlay = transition ? (count >= 3 ? count - 1 : count) : count - 1;
    if (transition) {
      drawer.DrawTransition(*items_[0], *items_[1], filter_.Get());
      for (size_t i = 2; i < overlay; ++i) drawer.DrawItem(*items_[i]);
    } else {
      for (size_t i = 0; i + 1 < count; ++i) drawer.DrawItem(*items_[i]);
    }
    // The drawer's sharpen amount is a fraction.
    if (sharpen) drawer.EndSharpen(sharpenAmount_ / 100);
    if (count > 0 && overlay < count)
      drawer.DrawItem(*items_[overlay]);
    else
      DrawBackground(drawer);
  } catch (const std::exception& e) {
    WriteLine(std::string("TRootItem.Draw: ") + e.what());
  } catch (...) {
    WriteLine("TRootItem.Draw failed");
  }
}

}  // namespace vyr

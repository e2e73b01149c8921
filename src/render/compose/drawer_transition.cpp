// T3DDrawer: the leaving and arriving slides of a transition, each drawn into an effect
// buffer and passed through the transition's draw filter.

#include <algorithm>

#include "project/effect_filter_spec.h"
#include "project/vyr_effect.h"
#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"
#include "render/transitions/draw_filter_factory.h"
#include "render/transitions/real_slide_filter.h"
#include "render/transitions/transition_drawing.h"

namespace vyr {

TDrawFilter* T3DDrawer::DrawFilterOf(TVyrFilter& filter) {
  if (auto* made = dynamic_cast<TDrawFilter*>(filter.DrawFilter())) return made;
  const TIntRect& clip =
      ClipRect().Empty() ? TIntRect{0, 0, AreaWidth(), AreaHeight()} : ClipRect();
  const TDrawFilterSpec spec = DescribeDrawFilter(filter.Effect(), clip.Width(), clip.Height());
  TRef<TDrawFilter> made =
      MakeDrawFilter(spec, clip, filter.Smoothing() * clip.Width(), filter.Duration());
  if (!made) return nullptr;
  filter.SetDrawFilter(made);
  return made.Get();
}

bool T3DDrawer::DrawIntoBuffer(TDrawItem& item, TPooledTarget& buffer) {
  if (!buffer || !PushTarget(buffer.Get())) return false;
  try {
    DrawItem(item);
  } catch (...) {
    PopTarget();
    throw;
  }
  PopTarget();
  return true;
}

void T3DDrawer::DrawTransition(TDrawItem& leaving, TDrawItem& arriving, TVyrFilter* filter) {
  std::lock_guard guard(lock_);
  if (!filter) {
    DrawItem(leaving);
    return;
  }
  const double time = filter->CurrentTime(), duration = filter->Duration();
  TDrawFilter* drawFilter = DrawFilterOf(*filter);
  if (!drawFilter || !(time >= 0 && time < duration)) {
    DrawItem(arriving);
    return;
  }
  if (drawFilter->Order() == TFilterOrder::Custom) {
    drawFilter->SetTime(static_cast<float>(time));
    auto* custom = dynamic_cast<TRealSlideFilter*>(drawFilter);
    // Without a slide of its own the transition cross-fades.
    if (!custom || !DrawCustomTransition(*custom, leaving, arriving))
      DrawCrossFade(leaving, arriving, time / duration);
    return;
  }
  if (!effects_) effects_ = std::make_unique<TEffController>(*screen_);
  if (drawFilter->Order() == TFilterOrder::Mask && !drawFilter->Reversed()) {
    // The leaving slide lies plainly under the filter: it needs no buffer of its own.
    TPooledTarget arrivingBuffer(full_);
    if (!DrawIntoBuffer(arriving, arrivingBuffer)) {
      DrawItem(time / duration < 0.5 ? leaving : arriving);
      return;
    }
    DrawItem(leaving);
    const TMultiTile tile =
        TMultiTile::Single(arrivingBuffer.Texture(), TIntRect{0, 0, full_.Width(), full_.Height()},
                           arrivingBuffer.MaxU(), arrivingBuffer.MaxV());
    drawFilter->SetTime(static_cast<float>(time));
    DrawThroughFilter(*effects_, *drawFilter, tile, true);
    drawFilter->FinishFrame();
    return;
  }
  TPooledTarget leavingBuffer(full_), arrivingBuffer(full_);
  if (!DrawIntoBuffer(leaving, leavingBuffer) || !DrawIntoBuffer(arriving, arrivingBuffer)) {
    DrawItem(time / duration < 0.5 ? leaving : arriving);
    return;
  }
  const TIntRect area{0, 0, full_.Width(), full_.Height()};
  const TMultiTile leavingTile =
      TMultiTile::Single(leavingBuffer.Texture(), area, leavingBuffer.MaxU(), leavingBuffer.MaxV());
  const TMultiTile arrivingTile = TMultiTile::Single(arrivingBuffer.Texture(), area,
                                                     arrivingBuffer.MaxU(), arrivingBuffer.MaxV());
  vyr::DrawTransition(*effects_, drawFilter, leavingTile, arrivingTile, time);
}

void T3DDrawer::DrawCrossFade(TDrawItem& leaving, TDrawItem& arriving, double progress) {
  DrawItem(leaving);
  TPooledTarget buffer(full_);
  if (!DrawIntoBuffer(arriving, buffer)) {
    if (progress >= 0.5) DrawItem(arriving);
    return;
  }
  buffer.Texture()->SetFilter(TFilter::Point);
  const TStage stage{buffer.Texture(), 0, 0, buffer.MaxU(), buffer.MaxV()};
  // The buffer holds premultiplied colour: the vertex colour scales all four channels.
  const uint32_t colour =
      Premultiplied(WithOpacity(0xFFFFFFFF, static_cast<float>(progress * 100)));
  DrawPass(nullptr, std::span<const TStage>(&stage, 1), static_cast<float>(full_.Width()),
           static_cast<float>(full_.Height()), nullptr, 0, colour);
}

}  // namespace vyr

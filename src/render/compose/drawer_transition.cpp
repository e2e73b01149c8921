// T3DDrawer: the leaving and arriving slides of a transition, each drawn into an effect
// buffer and passed through the transition's draw filter; the slide that lies plainly
// beneath the other is drawn straight into the frame where that gives the same pixels.

#include <algorithm>
#include <optional>

#include "project/effects/filter_spec.h"
#include "project/effects/vyr_effect.h"
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
  drawFilter->SetTime(static_cast<float>(time));
  const TSlidePlan plan = PlanSlides(*drawFilter);
  // The plain slide lies on the cleared frame, so drawn straight it comes out as it would
  // from a buffer, one full-screen pass cheaper. Not when shifted: from a buffer it is
  // resampled between pixels, which a straight draw cannot reproduce.
  const bool straight =
      !buffersOnly_ && plan.plain != TSlideRole::None && plan.dx == 0 && plan.dy == 0;
  const TIntRect area{0, 0, full_.Width(), full_.Height()};
  std::optional<TPooledTarget> scratch[2];  // leaving, arriving
  TMultiTile pictures[2];
  for (size_t i = 0; i < 2; ++i) {
    const TSlideRole role = i == 0 ? TSlideRole::Leaving : TSlideRole::Arriving;
    if (!plan.Uses(role) || (straight && plan.plain == role)) continue;
    TCustomTexture* buffer =
        SlideBuffer(i == 0 ? leaving : arriving, i == 0 ? arriving : leaving, scratch[i]);
    if (!buffer) {
      DrawItem(time / duration < 0.5 ? leaving : arriving);
      return;
    }
    // Targets keep the sampling of their last use.
    buffer->DeviceTexture()->SetFilter(TFilter::Linear);
    pictures[i] =
        TMultiTile::Single(buffer->DeviceTexture(), area, full_.MaxU(*buffer), full_.MaxV(*buffer));
  }
  if (straight) DrawItem(plan.plain == TSlideRole::Leaving ? leaving : arriving);
  DrawPlannedSlides(*effects_, *drawFilter, plan, pictures[0], pictures[1], straight);
}

void T3DDrawer::DrawCrossFade(TDrawItem& leaving, TDrawItem& arriving, double progress) {
  DrawItem(leaving);
  std::optional<TPooledTarget> scratch;
  TCustomTexture* buffer = SlideBuffer(arriving, leaving, scratch);
  if (!buffer) {
    if (progress >= 0.5) DrawItem(arriving);
    return;
  }
  buffer->DeviceTexture()->SetFilter(TFilter::Point);
  const TStage stage{buffer->DeviceTexture(), 0, 0, full_.MaxU(*buffer), full_.MaxV(*buffer)};
  // The buffer holds premultiplied colour: the vertex colour scales all four channels.
  const uint32_t colour =
      Premultiplied(WithOpacity(0xFFFFFFFF, static_cast<float>(progress * 100)));
  DrawPass(nullptr, std::span<const TStage>(&stage, 1), static_cast<float>(full_.Width()),
           static_cast<float>(full_.Height()), nullptr, 0, colour);
}

}  // namespace vyr

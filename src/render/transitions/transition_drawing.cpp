#include "render/transitions/transition_drawing.h"

#include "render/transitions/alpha_filter.h"
#include "render/transitions/slide_filters.h"

namespace vyr {

bool DrawSlidePlain(TEffController& controller, const TMultiTile& slide, float dx, float dy) {
  controller.SetSlide(&slide);
  controller.SetKeepOrder(false);
  EmitSlideRect(controller, slide.Bounds(), 255, dx, dy);
  const bool ok = controller.Flush();
  controller.SetSlide(nullptr);
  return ok;
}

bool DrawThroughFilter(TEffController& controller, TDrawFilter& filter, const TMultiTile& slide,
                       bool arriving) {
  controller.SetSlide(&slide);
  controller.SetKeepOrder(true);
  filter.SetSubject(arriving);
  filter.Draw(controller);
  const bool ok = controller.Flush();
  controller.SetSlide(nullptr);
  return ok;
}

TSlidePlan PlanSlides(const TDrawFilter& filter) {
  using enum TSlideRole;
  const bool late = filter.Progress() >= 0.5;
  TSlidePlan plan;
  switch (filter.Order()) {
    case TFilterOrder::Custom:
      break;
    case TFilterOrder::Overturn:
      plan.filtered[0] = late != filter.Reversed() ? Arriving : Leaving;
      break;
    case TFilterOrder::TwoSlides: {
      // The slide that is behind goes first.
      const bool leavingFirst = late != filter.Reversed();
      plan.filtered[0] = leavingFirst ? Leaving : Arriving;
      plan.filtered[1] = leavingFirst ? Arriving : Leaving;
      break;
    }
    case TFilterOrder::Push:
    case TFilterOrder::Mask:
      if (filter.Reversed()) {
        plan.plain = Arriving;
        plan.filtered[0] = Leaving;
        break;
      }
      if (auto* push = dynamic_cast<const TPushFilter*>(&filter))
        push->PushOffset(plan.dx, plan.dy);
      plan.plain = Leaving;
      plan.filtered[0] = Arriving;
      break;
  }
  return plan;
}

bool DrawPlannedSlides(TEffController& controller, TDrawFilter& filter, const TSlidePlan& plan,
                       const TMultiTile& leaving, const TMultiTile& arriving, bool plainDrawn) {
  auto picture = [&](TSlideRole role) -> const TMultiTile& {
    return role == TSlideRole::Arriving ? arriving : leaving;
  };
  bool ok = true;
  if (plan.plain != TSlideRole::None && !plainDrawn)
    ok = DrawSlidePlain(controller, picture(plan.plain), plan.dx, plan.dy);
  for (TSlideRole role : plan.filtered)
    if (role != TSlideRole::None)
      ok = DrawThroughFilter(controller, filter, picture(role), role == TSlideRole::Arriving) && ok;
  filter.FinishFrame();
  return ok;
}

bool DrawTransitionSlides(TEffController& controller, TDrawFilter& filter,
                          const TMultiTile& leaving, const TMultiTile& arriving) {
  if (filter.Order() == TFilterOrder::Custom) return false;
  return DrawPlannedSlides(controller, filter, PlanSlides(filter), leaving, arriving);
}

bool DrawTransition(TEffController& controller, TDrawFilter* filter, const TMultiTile& leaving,
                    const TMultiTile& arriving, double time) {
  if (!filter || time < 0 || time >= filter->Duration())
    return DrawSlidePlain(controller, arriving);
  if (filter->Order() == TFilterOrder::Custom) return false;
  filter->SetTime(static_cast<float>(time));
  return DrawTransitionSlides(controller, *filter, leaving, arriving);
}

}  // namespace vyr

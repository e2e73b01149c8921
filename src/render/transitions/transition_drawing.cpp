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

bool DrawTransitionSlides(TEffController& controller, TDrawFilter& filter,
                          const TMultiTile& leaving, const TMultiTile& arriving) {
  const bool late = filter.Progress() >= 0.5;
  bool ok = true;
  switch (filter.Order()) {
    case TFilterOrder::Custom:
      return false;
    case TFilterOrder::Overturn: {
      const bool arrivingTurns = late != filter.Reversed();
      ok = DrawThroughFilter(controller, filter, arrivingTurns ? arriving : leaving, arrivingTurns);
      break;
    }
    case TFilterOrder::TwoSlides: {
      // The slide that is behind goes first.
      const bool leavingFirst = late != filter.Reversed();
      ok = DrawThroughFilter(controller, filter, leavingFirst ? leaving : arriving, !leavingFirst);
      ok = DrawThroughFilter(controller, filter, leavingFirst ? arriving : leaving, leavingFirst) &&
           ok;
      break;
    }
    case TFilterOrder::Push:
    case TFilterOrder::Mask:
      if (filter.Reversed()) {
        ok = DrawSlidePlain(controller, arriving);
        ok = DrawThroughFilter(controller, filter, leaving, false) && ok;
        break;
      }
      float dx = 0, dy = 0;
      if (auto* push = dynamic_cast<TPushFilter*>(&filter)) push->PushOffset(dx, dy);
      ok = DrawSlidePlain(controller, leaving, dx, dy);
      ok = DrawThroughFilter(controller, filter, arriving, true) && ok;
      break;
  }
  filter.FinishFrame();
  return ok;
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

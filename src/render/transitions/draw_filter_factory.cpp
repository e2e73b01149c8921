#include "render/transitions/draw_filter_factory.h"

#include "render/transitions/alpha_filter.h"
#include "render/transitions/broom_effect.h"
#include "render/transitions/circle_filter.h"
#include "render/transitions/clock_effect.h"
#include "render/transitions/contour_filters.h"
#include "render/transitions/diag_lines.h"
#include "render/transitions/line_filters.h"
#include "render/transitions/overturn_effect.h"
#include "render/transitions/random_filter.h"
#include "render/transitions/real_slide_filter.h"
#include "render/transitions/roll_effect.h"
#include "render/transitions/slide_filters.h"
#include "render/transitions/two_slides_effect.h"

namespace vyr {
namespace {

TRef<TDrawFilter> NewFilter(const TDrawFilterSpec& s) {
  const float cx = static_cast<float>(s.centerX), cy = static_cast<float>(s.centerY);
  switch (s.kind) {
    case TDrawFilterKind::None:
      return nullptr;
    case TDrawFilterKind::CrossFade:
      return MakeRef<TAlphaFilter>();
    case TDrawFilterKind::Clock:
      return MakeRef<TClockEffect>(s.clockwise, cx, cy);
    case TDrawFilterKind::Broom:
      return MakeRef<TBroomEffect>(s.code, static_cast<float>(s.sweepWidth));
    case TDrawFilterKind::Circle:
      return MakeRef<TCircleFilter>(cx, cy, s.reversed);
    case TDrawFilterKind::Rhomb:
      return MakeRef<TRhombFilter>(cx, cy, s.reversed);
    case TDrawFilterKind::Square:
      return MakeRef<TSquareFilter>(cx, cy, s.reversed);
    case TDrawFilterKind::HLines:
      return MakeRef<THLines>(cx, cy, s.reversed);
    case TDrawFilterKind::VLines:
      return MakeRef<TVLines>(cx, cy, s.reversed);
    case TDrawFilterKind::DiagLines:
      return MakeRef<TDiagLines>(s.diagKind, s.code, s.reversed);
    case TDrawFilterKind::RandomTiles:
      return MakeRef<TRandomFilter>(s.cols, s.rows, s.seed, static_cast<float>(s.appearance));
    case TDrawFilterKind::Push:
      return MakeRef<TPushFilter>(s.code);
    case TDrawFilterKind::SlideIn:
      return MakeRef<TSlideFilter>(s.code);
    case TDrawFilterKind::Roll:
      return MakeRef<TRollEffect2>(s.code, s.mode, s.pipe, s.radius, s.useColor, s.color,
                                   s.useVolume, static_cast<float>(s.volume));
    case TDrawFilterKind::Overturn:
      return MakeRef<TOverturnEffect>(s.code, s.nonlinearSpeed, static_cast<float>(s.volume));
    case TDrawFilterKind::TwoSlides:
      return MakeRef<TTwoSlidesEffect>(s.code, static_cast<float>(s.angle),
                                       static_cast<float>(s.distance), static_cast<float>(s.depth));
    case TDrawFilterKind::CustomSlide:
      if (!s.customSection) return MakeRef<TAlphaFilter>();
      return MakeRef<TRealSlideFilter>(s.customSection);
  }
  return nullptr;
}

}  // namespace

TRef<TDrawFilter> MakeDrawFilter(const TDrawFilterSpec& spec, const TIntRect& rect,
                                 double smoothing, double duration) {
  TRef<TDrawFilter> filter = NewFilter(spec);
  if (filter)
    filter->Init(rect, static_cast<float>(smoothing * rect.Width()), static_cast<float>(duration));
  return filter;
}

}  // namespace vyr

#include "project/effects/filter_spec.h"

#include <array>
#include <cmath>

namespace vyr {

namespace ep = effect_param;

namespace {

// Directions 1..4 of push, slide, flip and swap as the filters' direction codes.
constexpr std::array<int, 4> kFourDirectionCodes{2, 4, 1, 3};
// Hour-hand directions 1..9 as broom kinds (direction 5 is the clock).
constexpr std::array<int, 9> kBroomKinds{8, 1, 5, 4, 0, 2, 7, 3, 6};

void DescribeHourHand(const TVyrEffect& e, int d, int w, int h, TDrawFilterSpec& spec) {
  if (d == 5) {
    spec.kind = TDrawFilterKind::Clock;
    spec.clockwise = e.ActionSet(2);
    return;
  }
  spec.kind = TDrawFilterKind::Broom;
  spec.code = 8 * (e.ActionSet(2) ? 1 : 0) + kBroomKinds[d - 1];
  spec.sweepWidth = (w + h) / 2.0 * e.Real(ep::kHourHandOffset);
}

void DescribeShapes(const TVyrEffect& e, int d, TDrawFilterSpec& spec) {
  static constexpr std::array<TDrawFilterKind, 3> kShapes{
      TDrawFilterKind::Circle, TDrawFilterKind::Rhomb, TDrawFilterKind::Square};
  spec.kind = kShapes[d - 1];
  spec.reversed = e.ActionSet(1);
  // The project keeps the centre's coordinates the other way round.
  spec.centerX = e.Real(ep::kShapesCenterY, 50) / 100.0;
  spec.centerY = e.Real(ep::kShapesCenterX, 50) / 100.0;
}

void DescribeGates(int d, TDrawFilterSpec& spec) {
  switch (d) {
    case 1:
    case 5:
      spec.kind = TDrawFilterKind::HLines;
      spec.reversed = d == 1;
      return;
    case 2:
    case 6:
      spec.kind = TDrawFilterKind::VLines;
      spec.reversed = d == 2;
      return;
    default: {
      static constexpr std::array<int, 8> kCorners{0, 0, 1, 3, 0, 0, 2, 4};
      spec.kind = TDrawFilterKind::DiagLines;
      spec.diagKind = TDiagLinesKind::Gates;
      spec.code = kCorners[d - 1];
      spec.reversed = spec.code == 1 || spec.code == 3;
    }
  }
}

void DescribePage(int d, TDrawFilterSpec& spec) {
  switch (d) {
    case 2:
    case 7:
      spec.kind = TDrawFilterKind::VLines;
      spec.centerX = d == 2 ? 1 : 0;
      spec.centerY = 0;
      return;
    case 4:
    case 5:
      spec.kind = TDrawFilterKind::HLines;
      spec.centerX = 0;
      spec.centerY = d == 4 ? 1 : 0;
      return;
    default: {
      static constexpr std::array<int, 8> kCorners{2, 0, 3, 0, 0, 4, 0, 1};
      spec.kind = TDrawFilterKind::DiagLines;
      spec.diagKind = TDiagLinesKind::Page;
      spec.code = kCorners[d - 1];
    }
  }
}

void DescribeRoll(const TVyrEffect& e, int d, int w, TDrawFilterSpec& spec) {
  spec.kind = TDrawFilterKind::Roll;
  spec.code = d == 1 || d == 3 || d == 6 || d == 8 ? 15 : 14;
  static constexpr std::array<int, 8> kModes{3, 4, 4, 3, 1, 2, 2, 1};
  spec.mode = (d >= 1 ? kModes[d - 1] : 1) + (e.ActionSet(2) ? 4 : 0);
  spec.pipe = e.Int(ep::kCurlingPipe, 1) == 1;
  spec.radius = static_cast<int>(std::lround(w * e.Real(ep::kCurlingRadius)));
  spec.useColor = e.Flag(ep::kCurlingUseColor);
  spec.color = e.Int(ep::kCurlingColor);
  spec.useVolume = e.Flag(ep::kCurlingUseVolume);
  spec.volume = e.Real(ep::kCurlingVolume, 0.125f);
}

}  // namespace

TDrawFilterSpec DescribeDrawFilter(const TVyrEffect* effect, int width, int height) {
  TDrawFilterSpec spec;
  if (!effect) return spec;
  const TVyrEffect& e = *effect;
  const int d = e.FirstDirection();
  const bool needsDirection = e.type != TEffectType::Dissolve && e.type != TEffectType::Mosaic &&
                              e.type != TEffectType::Curling && e.type != TEffectType::Custom;
  if (needsDirection && d == 0) return spec;
  switch (e.type) {
    case TEffectType::HourHand:
      DescribeHourHand(e, d, width, height, spec);
      break;
    case TEffectType::Shapes:
      DescribeShapes(e, d, spec);
      break;
    case TEffectType::Gates:
      DescribeGates(d, spec);
      break;
    case TEffectType::Page:
      DescribePage(d, spec);
      break;
    case TEffectType::Mosaic: {
      spec.kind = TDrawFilterKind::RandomTiles;
      spec.cols = e.Int(ep::kMosaicCols, 1);
      spec.rows = e.Int(ep::kMosaicRows, 1);
      spec.seed = e.Int(ep::kMosaicSeed);
      const double appearance = e.Real(ep::kMosaicAppearanceReal);
      spec.appearance = appearance < 100 ? appearance : 1000;
      break;
    }
    case TEffectType::Push:
    case TEffectType::Slide:
      spec.kind = e.type == TEffectType::Push ? TDrawFilterKind::Push : TDrawFilterKind::SlideIn;
      spec.code = kFourDirectionCodes[d - 1];
      break;
    case TEffectType::Curling:
      DescribeRoll(e, d, width, spec);
      break;
    case TEffectType::Flip:
      spec.kind = TDrawFilterKind::Overturn;
      spec.code = kFourDirectionCodes[d - 1] + (e.Flag(ep::kFlipSpinCenter) ? 4 : 0);
      spec.nonlinearSpeed = e.Flag(ep::kFlipNonlinearSpeed);
      spec.volume = e.Real(ep::kFlipVolume, 0.5f);
      break;
    case TEffectType::Swap:
      spec.kind = TDrawFilterKind::TwoSlides;
      spec.code = kFourDirectionCodes[d - 1];
      spec.depth = e.Real(ep::kSwapDepth, 4);
      spec.distance = e.Real(ep::kSwapDistance, 1);
      spec.angle = e.Real(ep::kSwapAngle, 60);
      break;
    case TEffectType::Custom:
      spec.customSection = e.customSection.Get();
      spec.kind = spec.customSection ? TDrawFilterKind::CustomSlide : TDrawFilterKind::CrossFade;
      break;
    case TEffectType::Dissolve:
      spec.kind = TDrawFilterKind::CrossFade;
      break;
  }
  return spec;
}

}  // namespace vyr

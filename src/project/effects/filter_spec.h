#pragma once
// What the drawer makes of an effect: the draw filter's kind and parameters. The drawer
// (render) builds the filter from this; the catalogue itself never draws.

#include "project/effects/vyr_effect.h"
#include "project/ini/model.h"

namespace vyr {

enum class TDrawFilterKind {
  None,         // no matching flag: the arriving slide is shown at once
  CrossFade,    // TAlphaFilter
  Clock,        // TClockEffect
  Broom,        // TBroomEffect
  Circle,       // TCircleFilter
  Rhomb,        // TRhombFilter
  Square,       // TSquareFilter
  HLines,       // THLines
  VLines,       // TVLines
  DiagLines,    // TDiagLines
  RandomTiles,  // TRandomFilter
  Push,         // TPushFilter
  SlideIn,      // TSlideFilter
  Roll,         // TRollEffect2
  Overturn,     // TOverturnEffect
  TwoSlides,    // TTwoSlidesEffect
  CustomSlide,  // TRealSlideFilter
};

enum class TDiagLinesKind { Gates, Page };

struct TDrawFilterSpec {
  TDrawFilterKind kind = TDrawFilterKind::None;
  bool reversed = false;
  // Centre or anchor as fractions of the slide rectangle.
  double centerX = 0.5;
  double centerY = 0.5;
  // Direction code (push, slide-in, overturn, two slides), broom kind, corner of the
  // diagonal lines, or roll kind.
  int code = 0;
  TDiagLinesKind diagKind = TDiagLinesKind::Gates;
  // Clock: turns with the second action flag.
  bool clockwise = false;
  // Broom sweep width, pixels.
  double sweepWidth = 0;
  // Random tiles.
  int cols = 0;
  int rows = 0;
  int32_t seed = 0;
  double appearance = 0;
  // Roll.
  int mode = 0;
  bool pipe = false;
  int radius = 0;  // pixels
  bool useColor = false;
  int32_t color = 0;
  bool useVolume = false;
  double volume = 0;  // roll and overturn "3dvolume"
  // Overturn.
  bool nonlinearSpeed = false;
  // Two slides.
  double angle = 0;
  double distance = 0;
  double depth = 0;
  // Custom transition: the prepared effect section (none gives a cross-fade instead).
  const TIniSection* customSection = nullptr;
};

// The draw filter for an effect on a slide of width x height pixels; a missing effect
// gives none.
TDrawFilterSpec DescribeDrawFilter(const TVyrEffect* effect, int width, int height);

}  // namespace vyr

#pragma once
// How the authored presentation is placed in the window: the aspect ratio, the slide size for
// each fit mode and the slide rectangle centred in the window.

#include "project/ini/model.h"
#include "scene/geometry.h"

namespace vyr {

enum class TSlideFit : int { FitInside = 0, Cover = 1, Stretch = 2 };

struct TIntSize {
  int width = 0;
  int height = 0;
  bool operator==(const TIntSize&) const = default;
};

struct TSlideGeometryInput {
  TIntSize window;
  TIntSize presentation;  // the authored design frame
  double aspect = 4.0 / 3.0;
  TSlideFit fit = TSlideFit::FitInside;
  float scaleX = 100;  // percent
  float scaleY = 100;
  bool fixedSize = false;     // never enlarged beyond the presentation size...
  bool upscaleFixed = false;  // ...unless this is set
};

// Projects newer than minor version 12 use the presentation's own aspect (a presentation
// height of 0 or less is the assertion "ZeroSize of Presentation!"); older ones the window's,
// overridden by "opt_scr_ratio" of [Main].
double PresentationAspect(const TIniFile* project, TIntSize presentation, TIntSize window);

TIntSize SlideSizeOf(const TSlideGeometryInput& input);

// Centred in the window, clipped to it; an empty result is the empty rectangle.
TIntRect SlideRectOf(TIntSize window, TIntSize slide);

}  // namespace vyr

#pragma once
// Makes the draw filter an effect asks for (see project/effect_filter_spec.h) and
// initialises it with the slide rectangle, the smoothing width (smoothing fraction x slide
// width) and the duration.

#include "project/effects/filter_spec.h"
#include "render/transitions/draw_filter.h"

namespace vyr {

// None when the effect matched no flag (the arriving slide is shown at once).
TRef<TDrawFilter> MakeDrawFilter(const TDrawFilterSpec& spec, const TIntRect& rect,
                                 double smoothing, double duration);

}  // namespace vyr

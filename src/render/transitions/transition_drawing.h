#pragma once
// The frame drawer's entry point for transitions: the leaving and arriving slides, each
// drawn beforehand into a picture (an effect buffer or a texture), are drawn into the
// current target through a draw filter in the order the filter's kind asks:
//   mask     — the leaving slide plainly, then the arriving one through the filter
//              (reversed: the arriving one plainly, then the leaving one through it);
//   push     — as mask, the leaving slide shifted by the push offset;
//   overturn — only the slide that is turning: the leaving one before half time, then the
//              arriving one (reversed: the other way round);
//   two slides — both through the filter, the nearer one last.
// A custom transition's slide is the drawer's to draw (it gets both pictures itself).

#include "render/transitions/draw_filter.h"

namespace vyr {

// Draws the frame at `time` (ms since the transition began). Without a filter, or outside
// 0 <= time < duration, only the arriving slide. False for a custom transition (nothing
// drawn) and when a draw call failed.
bool DrawTransition(TEffController& controller, TDrawFilter* filter, const TMultiTile& leaving,
                    const TMultiTile& arriving, double time);

// The slides in their order at the filter's current time, without the range check.
bool DrawTransitionSlides(TEffController& controller, TDrawFilter& filter,
                          const TMultiTile& leaving, const TMultiTile& arriving);

// A slide picture opaque over its area, shifted by (dx, dy).
bool DrawSlidePlain(TEffController& controller, const TMultiTile& slide, float dx = 0,
                    float dy = 0);

// One slide through the filter; arriving tells the filter which one it is.
bool DrawThroughFilter(TEffController& controller, TDrawFilter& filter, const TMultiTile& slide,
                       bool arriving);

}  // namespace vyr

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

enum class TSlideRole { None, Leaving, Arriving };

// The passes of one frame at the filter's current time: the slide lying plainly beneath
// (shifted by dx, dy), then up to two slides through the filter, in drawing order.
struct TSlidePlan {
  TSlideRole plain = TSlideRole::None;
  float dx = 0, dy = 0;
  TSlideRole filtered[2] = {TSlideRole::None, TSlideRole::None};
  // Whether the frame needs that slide's picture at all.
  bool Uses(TSlideRole role) const {
    return plain == role || filtered[0] == role || filtered[1] == role;
  }
};

// The plan of the filter's order; nothing for a custom transition.
TSlidePlan PlanSlides(const TDrawFilter& filter);

// Draws the plan's passes from the slides' pictures and finishes the filter's frame. With
// plainDrawn the caller has drawn the plain slide already (its picture is not used).
bool DrawPlannedSlides(TEffController& controller, TDrawFilter& filter, const TSlidePlan& plan,
                       const TMultiTile& leaving, const TMultiTile& arriving,
                       bool plainDrawn = false);

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

#pragma once
// Which slides one frame shows: of the slides visible at the time, the leaving and the
// arriving one with the arriving one's transition, or the arriving one alone once its
// transition is over.

#include <vector>

#include "player/loader/draw_container.h"

namespace vyr {

struct TFramePick {
  std::vector<TRef<TDrawItem>> slides;  // in drawing order
  TRef<TVyrFilter> filter;              // none: no transition runs
  bool Empty() const { return slides.empty(); }
};

// shown: the visible containers in index order, already advanced to the frame's time.
TFramePick PickFrame(const std::vector<TDrawContainer*>& shown);

// Whether a container's slide is on screen at show time t.
bool VisibleAt(const TDrawContainer& container, double t);

}  // namespace vyr

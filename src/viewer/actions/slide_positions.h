#pragma once
// Where the slide actions seek to: a slide's start, the next and the previous slide's
// positions from a show time, and slides found by their id.

#include <string_view>

#include "project/vyr_source.h"

namespace vyr {

// The rounded start of slide k, plus 1 ms when it has no incoming transition (except for
// k = the slide count of a show that does not repeat).
int32_t SlideStartPosition(const TVyrSource& source, int k);
// Paused, a slide with a transition appears complete; playing, its transition plays.
int32_t NextSlidePosition(const TVyrSource& source, double t, bool paused);
int32_t PreviousSlidePosition(const TVyrSource& source, double t);
// The first slide whose id equals the text; -1 when none.
int SlideIndexById(const TVyrSource& source, std::string_view id);

}  // namespace vyr

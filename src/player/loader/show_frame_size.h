#pragma once
// The show's own frame size, the authored design frame: [Main] "opt_scr_width" x
// "opt_scr_height", a missing key taking the show's default size.

#include <string>

#include "player/loader/slide_geometry.h"
#include "project/vyr_source.h"

namespace vyr {

TIntSize ShowFrameSize(const TVyrSource& source);

// Empty when the show's own size is one the player draws; else why not, naming the keys.
std::string ShowFrameSizeProblem(const TVyrSource& source);

}  // namespace vyr

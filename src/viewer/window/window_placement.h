#pragma once
// Where the show's window goes: the client size a window mode asks for, scaled down to fit
// the work area with its aspect kept, and centred there.

#include "scene/geometry.h"

namespace vyr {

enum TShowWindowMode : int { kModeFullScreen = 0, kModeBordered = 1, kModeBorderless = 2 };

struct TWindowPlacement {
  TIntRect outer;  // the window with its frame, in desktop pixels
  int clientWidth = 0, clientHeight = 0;
};

// frameWidth / frameHeight: what a border adds (used for mode 1 only). A width or height
// of 0 or less means 640 x 480.
TWindowPlacement PlaceShowWindow(int width, int height, int mode, const TIntRect& workArea,
                                 int frameWidth, int frameHeight);

}  // namespace vyr

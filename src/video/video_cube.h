#pragma once
// The colour lookup of a clip's frames: a cube of the colour-lookup form read with the Y,
// U and V samples (V on the first axis) or the BGRA channels, converting to the display's
// colours: YUV through "YUVsRGB", RGBA through sRGB, to the display profile.

#include "scene/filters/colour_lut.h"

namespace vyr {

// Without colour management (or with it off for the show) the plain conversion; made once
// per process and kind, and again when the display profile changes.
const TColorLut& VideoColourCube(bool rgba, bool colourManagement);

// The cube's conversion of one limited-range YUV sample to red, green and blue.
void YuvToRgb(int y, int u, int v, uint8_t& red, uint8_t& green, uint8_t& blue);

}  // namespace vyr

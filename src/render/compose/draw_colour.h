#pragma once
// Vertex colours of the drawer: opacity in percent to an alpha byte, tints and mixes of
// 0xAARRGGBB colours.

#include <cstdint>

#include "scene/device_drawer.h"

namespace vyr {

// round(percent x 2.55), limited to 0..255.
uint8_t OpacityAlpha(float percent);
// colour with its alpha multiplied by opacity (percent).
uint32_t WithOpacity(uint32_t argb, float percent);
// The colour with its red, green and blue multiplied by its alpha.
uint32_t Premultiplied(uint32_t argb);
// Channel-wise (a + b) / 2, rounded.
uint32_t MidColour(uint32_t a, uint32_t b);

// Corner colours (top-left, top-right, bottom-left, bottom-right) of a box fill with its
// opacity applied.
void BoxCornerColours(const TBoxDrawParams& params, uint32_t (&colours)[4]);

}  // namespace vyr

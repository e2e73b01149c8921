#pragma once
// Halving a picture for the next reduction level.

#include "imaging/bitmap/bitmap.h"

namespace vyr {

// dest ((W + 1) / 2 x (H + 1) / 2, the source's 24- or 32-bit format) gets each pixel as the
// 1 2 1 / 2 4 2 / 1 2 1 weighted sum / 16 around source (2x, 2y), edges clamped. Reports
// progress per row through dest's callback; false stops.
void ReduceByTwo(const TBitmap& source, TBitmap& dest);

}  // namespace vyr

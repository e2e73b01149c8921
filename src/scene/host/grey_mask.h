#pragma once
// A picture turned into a grey mask: brightness becomes the mask value.

#include "imaging/bitmap/bitmap.h"

namespace vyr {

// A 24-bit grey bitmap ("R8G8B8", three equal channels) of the same size. The grey of a pixel
// is its luma (299 R + 587 G + 114 B) / 1000, the weights of JPEG's and television's
// brightness, so a mask painted in colours keeps the lightness the eye sees; transparent
// parts count as black (the colour is weighed by alpha), so they mask out. Rounded to nearest.
TRef<TDirectBitmap> MakeGreyMask(const TBitmap& picture);

}  // namespace vyr

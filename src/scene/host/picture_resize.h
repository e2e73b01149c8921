#pragma once
// Stretching a picture to a given size for the host's frame-size and background pictures.

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

// An "A8R8G8B8" bitmap of width x height (both >= 1) filled with the bitmap stretched,
// bilinear between pixel centres, colours weighed by alpha so transparent pixels leave no
// fringes.
TRef<TDirectBitmap> StretchBitmap(const TBitmap& source, int32_t width, int32_t height);
// The same from a picture's store, starting from the reduction level nearest above the size
// so that large shrinks do not skip pixels.
TRef<TDirectBitmap> StretchPicture(TImage& picture, int32_t width, int32_t height);

}  // namespace vyr

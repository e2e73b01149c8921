#pragma once
// The turns a picture's orientation asks for, as rotation hooks of picture stores.

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

enum class TTurn {
  Half,              // (x, y) <- (W - 1 - x, H - 1 - y)
  Clockwise,         // quarter turn clockwise: (x, y) <- (y, H - 1 - x), size H x W
  CounterClockwise,  // quarter turn counter-clockwise: (x, y) <- (W - 1 - y, x), size H x W
};

// Turns a bitmap in "A8R8G8B8" (format with alpha) or "R8G8B8"; a bitmap not owned or in
// another form is copied first, so the caller's bitmap never changes.
TRef<TBitmap> TurnBitmap(TRef<TBitmap> bitmap, bool owned, const TPixelFormat* pictureFormat,
                         TTurn turn);

TRotationHook MakeTurnHook(TTurn turn);

}  // namespace vyr

#pragma once
// Stretchable pictures: a picture with margins drawn into a target rectangle in three by
// three parts; corners keep their size, edges stretch along their edge, the middle both
// ways.

#include "imaging/bitmap/bitmap.h"

namespace vyr {

struct TNinePatch {
  TRef<TBitmap> picture;  // A8R8G8B8
  int left = 0, top = 0, right = 0, bottom = 0;

  int Width() const { return picture ? picture->Width() : 0; }
  int Height() const { return picture ? picture->Height() : 0; }
  // Blends the parts over the target's pixels inside rect.
  void Draw(TBitmap& target, const TRect& rect) const;
};

// The splits [start, first, second, end] of a target span for two margins.
void NinePatchSplits(int start, int end, int first, int second, int out[4]);

}  // namespace vyr

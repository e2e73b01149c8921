#pragma once
// The chain of bitmap factories: makes a bitmap of a size, format and wanted class.

#include <functional>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

struct TBitmapRequest {
  int32_t width;
  int32_t height;
  const TPixelFormat* format;
  TProgressCallback progress;
  const TBitmap* source;  // pixels to copy in, or null
  TBitmapClass wanted;
};

// A factory answers null when it cannot make the wanted class; the request then goes to the
// previously registered factory.
using TBitmapFactory = std::function<TRef<TBitmap>(const TBitmapRequest&)>;

// Adds a factory in front of the chain.
void RegisterBitmapFactory(TBitmapFactory factory);

// A bitmap from the newest factory that can make it, or null.
TRef<TBitmap> CreateBitmap(int32_t width, int32_t height, const TPixelFormat* format,
                           TProgressCallback progress, const TBitmap* source, TBitmapClass wanted);

// A fresh TSysBitmap of that size and format (zero pixels).
TRef<TSysBitmap> CreateSysBitmap(int32_t width, int32_t height, const TPixelFormat* format);

}  // namespace vyr

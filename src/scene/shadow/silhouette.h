#pragma once
// The silhouette a shadow is cast from: the alpha of a picture part with the frame's border,
// or a filled shape, limited in size by halving.

#include <cstdint>

#include "imaging/bitmap/bitmap.h"
#include "scene/shadow/resample.h"
#include "scene/shadow/shadow_params.h"

namespace vyr {

class TFileAccessor;

struct TSilhouette {
  TRef<TBitmap> bitmap;  // 32-bit "A8R8G8B8", black with the silhouette as alpha
  int halvings = 0;      // the sizes were halved this often (s = 2^halvings)
};

// Alpha of pixel (x, y) of a w x h filled silhouette of that kind, from start to end alpha.
uint8_t FillAlpha(int kind, int64_t x, int64_t y, int64_t w, int64_t h, int start, int end);
void FillSilhouette(TBitmap& bitmap, int kind, int start, int end);

// Copies the source rectangle stretched into the destination rectangle (nearest pixel, no
// blending; both clipped to their bitmaps, same pixel format).
void StretchCopy(const TBitmap& source, TRect from, TBitmap& dest, TRect to);

// The silhouette of the parameters; a picture is opened through files.
TSilhouette BuildSilhouette(const TShadowParams& params, TFileAccessor* files, const TGoOn& goOn);

}  // namespace vyr

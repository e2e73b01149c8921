#pragma once
// Bridges between bitmaps and the device: a picture texture filled from a bitmap of any
// pixel format (converted to the kind's format), and a surface read into a bitmap.

#include "imaging/bitmap/bitmap.h"
#include "render/device/custom_texture.h"

namespace vyr {

class TBitmapTexture : public TCustomTexture {
 public:
  TBitmapTexture(T3DScreen& screen, TTextureKind kind, TRef<TBitmap> bitmap, bool mipmaps = false);
  void FillLevel0(TLockedPixels& level0) override;
  const TRef<TBitmap>& Bitmap() const { return bitmap_; }

 private:
  TRef<TBitmap> bitmap_;
};

// The pixel format name a surface format has in the bitmap family.
const TPixelFormat* SurfaceBitmapFormat(TSurfaceFormat format);
// The whole surface as a bitmap ("A8R8G8B8" for 32-bit surfaces); null on failure. A 32-bit
// surface is read straight into `reuse` when that is an "A8R8G8B8" direct bitmap of the
// surface's size nobody else holds, else into a new bitmap.
TRef<TBitmap> ReadSurfaceBitmap(T3DSurface& surface, TRef<TBitmap> reuse = nullptr);

}  // namespace vyr

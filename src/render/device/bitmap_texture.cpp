#include "render/device/bitmap_texture.h"

#include <cstring>

#include "foundation/exceptions.h"

namespace vyr {

const TPixelFormat* SurfaceBitmapFormat(TSurfaceFormat format) {
  return PixelFormat(BitmapFormatName(format));
}

TBitmapTexture::TBitmapTexture(T3DScreen& screen, TTextureKind kind, TRef<TBitmap> bitmap,
                               bool mipmaps)
    : TCustomTexture(screen, kind, bitmap ? bitmap->Width() : 0, bitmap ? bitmap->Height() : 0,
                     mipmaps),
      bitmap_(std::move(bitmap)) {
  VYR_ASSERT_MSG(bitmap_, "Bitmap not Assigned");
  VYR_ASSERT_MSG(IsManagedKind(kind), "Wrong texture kind");
}

void TBitmapTexture::FillLevel0(TLockedPixels& level0) {
  TScanLines rows(static_cast<size_t>(level0.height));
  for (int y = 0; y < level0.height; ++y) rows[static_cast<size_t>(y)] = level0.Row(y);
  TSysBitmap target(level0.width, level0.height, SurfaceBitmapFormat(level0.format),
                    std::move(rows));
  target.CopyRect(TRect{0, 0, bitmap_->Width(), bitmap_->Height()}, *bitmap_, TPoint{0, 0});
}

TRef<TBitmap> ReadSurfaceBitmap(T3DSurface& surface, TRef<TBitmap> reuse) {
  const TSurfaceFormat format = surface.Format();
  if (format == TSurfaceFormat::A8R8G8B8 || format == TSurfaceFormat::X8R8G8B8) {
    int width = 0, height = 0;
    surface.Size(width, height);
    if (width <= 0 || height <= 0) return nullptr;
    const TPixelFormat* argb = SurfaceBitmapFormat(TSurfaceFormat::A8R8G8B8);
    // Rows of a direct bitmap follow each other, so one read fills them all.
    const bool reusable = reuse && reuse->RefCount() == 1 &&
                          reuse->Class() == TBitmapClass::DirectBitmap && reuse->Width() == width &&
                          reuse->Height() == height && reuse->Format() == argb;
    TRef<TBitmap> bitmap =
        reusable ? std::move(reuse) : TRef<TBitmap>(MakeRef<TDirectBitmap>(width, height, argb));
    if (!surface.ReadRows(bitmap->Row(0), static_cast<int>(bitmap->RowBytes()))) return nullptr;
    return bitmap;
  }
  TLockedPixels pixels;
  if (!surface.ReadInto(pixels) || pixels.width <= 0 || pixels.height <= 0) return nullptr;
  TRef<TBitmap> bitmap =
      MakeRef<TDirectBitmap>(pixels.width, pixels.height, SurfaceBitmapFormat(pixels.format));
  for (int y = 0; y < pixels.height; ++y)
    std::memcpy(bitmap->Row(y), pixels.Row(y), bitmap->RowBytes());
  return bitmap;
}

}  // namespace vyr

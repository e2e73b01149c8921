#pragma once
// Pixel work of the navigation bars on 32-bit pictures with straight alpha (A8R8G8B8):
// the bars' own compositing rule, the grey and disabled looks, the hue shift and a
// bilinear scaler that keeps alpha.

#include <cstdint>
#include <functional>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

// A source pixel over a destination pixel (0xAARRGGBB) by the bars' table.
uint32_t CompositeBarPixel(uint32_t source, uint32_t destination);
// The source area (srcRect) composited over dest at (x, y), clipped to both pictures.
void CompositeBarArea(TBitmap& dest, int x, int y, const TBitmap& source, const TRect& srcRect);
// Copies the source area to dest at (x, y), replacing what was there, clipped.
void CopyBarArea(TBitmap& dest, int x, int y, const TBitmap& source, const TRect& srcRect);

// Grey: red, green and blue become (R + G + B) div 3. Disabled: grey, and alpha shr 2.
uint32_t GreyPixel(uint32_t pixel);
uint32_t DisabledPixel(uint32_t pixel);

// The hue of a pixel moved by whole degrees; saturation, lightness and alpha stay.
uint32_t ShiftPixelHue(uint32_t pixel, int degrees);
// Shifts every pixel of the rectangle; goOn is asked after every row (false ends it).
void ShiftAreaHue(TBitmap& picture, const TRect& rect, int degrees,
                  const std::function<bool()>& goOn);

// A new A8R8G8B8 picture of width x height (both at least 1) showing the source area
// scaled bilinearly, colours weighted by alpha.
TRef<TDirectBitmap> ScaleBarArea(const TBitmap& source, const TRect& srcRect, int width,
                                 int height);
// The source area as a new A8R8G8B8 picture.
TRef<TDirectBitmap> CutBarArea(const TBitmap& source, const TRect& srcRect);

// Pixel access for A8R8G8B8 pictures.
inline uint32_t* BarRow(TBitmap& picture, int y) {
  return reinterpret_cast<uint32_t*>(picture.Row(y));
}
inline const uint32_t* BarRow(const TBitmap& picture, int y) {
  return reinterpret_cast<const uint32_t*>(picture.Row(y));
}

// Largest side a bar builds a picture for; larger sizes are refused before allocating.
inline constexpr int kMaxBarSide = 16384;
// Largest picture a bar builds (pixels), and the largest element of a video-style bar.
inline constexpr long long kMaxBarPixels = 16LL * 1024 * 1024;
inline constexpr int kMaxBarElement = 2048;

}  // namespace vyr

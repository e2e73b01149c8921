#pragma once
// Bounds of the pictures the host makes from a name: a name can ask for any size, memory
// cannot give it.

#include <cstdint>

namespace vyr {

inline constexpr int32_t kMaxHostPictureSide = 16384;
// An 8K UHD frame (7680 x 4320) still fits.
inline constexpr int64_t kMaxHostPicturePixels = 40LL * 1024 * 1024;
// A text placeholder stands in for a picture the drawer scales anyway; larger ones shrink.
inline constexpr int32_t kMaxPlaceholderFieldSide = 4096;

inline bool WithinPictureLimits(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxHostPictureSide &&
         height <= kMaxHostPictureSide && width * height <= kMaxHostPicturePixels;
}

}  // namespace vyr

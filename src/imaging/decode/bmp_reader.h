#pragma once
// The BMP reader: 1, 4, 8 (palette, RLE4, RLE8), 16 (555, 565), 24 and 32 bits, either row order.

#include <string_view>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap.h"

namespace vyr {

// The picture at the stream's position as a TDirectBitmap ("R8G8B8" for palette and 24-bit
// pictures, "X1R5G5B5" / "R5G6B5" for 16 bits, "A8R8G8B8" for 32), or null with the stream
// put back where it was; also null (and one log line naming the picture) above the pixel
// budget, and when the decode is told to stop.
TRef<TDirectBitmap> ReadBmp(TStream& stream, std::string_view name = "BMP picture");

}  // namespace vyr

#pragma once
// Writes a bitmap as a plain BMP: 24 bits, or 32 bits with alpha (a version 4 header with
// the channel masks, so readers keep the alpha). Rows bottom-up, uncompressed.

#include <cstdint>
#include <vector>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap);

}  // namespace vyr

#pragma once
// Writes a bitmap as a PNG file: 32 bits when the bitmap has alpha, else 24.

#include <string>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

// False (with a reason) when the file cannot be written.
bool WritePng(const TBitmap& bitmap, const std::string& path, std::string& error);

}  // namespace vyr

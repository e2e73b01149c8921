#pragma once
// Writes a bitmap as a PNG file: 32 bits when the bitmap has alpha, else 24.

#include <string>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

struct TPngOptions {
  // zlib's compression level 0..9; -1 is zlib's default.
  int level = -1;
  // Each row picks its best filter (libpng's default); false filters every row with "Sub",
  // which costs little and keeps pictures close to the adaptive size.
  bool adaptiveFilters = true;
};

// About half the default's time, files about 1.16 x the default size on 1080p frames.
inline constexpr TPngOptions kFastPng{4, false};

// False (with a reason) when the file cannot be written.
bool WritePng(const TBitmap& bitmap, const std::string& path, std::string& error,
              const TPngOptions& options = {});

}  // namespace vyr

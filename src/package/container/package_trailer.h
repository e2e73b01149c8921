#pragma once
// Finding the package trailer at the end of a file.

#include <cstdint>

#include "foundation/stream.h"

namespace vyr {

struct TPackageTrailer {
  enum class Status { NoPackage, Damaged, Found };
  Status status = Status::NoPackage;
  bool longForm = false;
  int64_t base = 0;             // frame base: how far the package bytes moved
  int64_t end = 0;              // end of the package (file size, or file size - 8)
  int64_t directoryOffset = 0;  // file offset D of the directory
  int64_t directorySize = 0;    // its compressed length: end - 12 - D
};

// Reads the trailer of file. Damaged when the offsets it gives leave the file.
TPackageTrailer ReadPackageTrailer(TStream& file);

}  // namespace vyr

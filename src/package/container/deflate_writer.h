#pragma once
// Raw deflate (window bits -15) from one stream into another.

#include <cstdint>

#include "foundation/stream.h"

namespace vyr {

// Compresses source from its position to its end onto target's position; returns the
// number of compressed bytes written.
int64_t DeflateRaw(TStream& source, TStream& target);

}  // namespace vyr

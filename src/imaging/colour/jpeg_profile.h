#pragma once
// The colour profile embedded in a JPEG's first APP2 segment.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "imaging/colour/color_profile.h"

namespace vyr {

// The ICC bytes of the first APP2 segment (without its 14-byte identifier) of the JPEG at the
// stream's position, read in pieces; empty when the markers before the first scan hold none.
// Files over 100 MiB are not scanned. The stream is left wherever the scan stopped.
std::vector<uint8_t> ReadJpegProfileBytes(TStream& stream);
std::vector<uint8_t> ReadJpegProfileBytes(const uint8_t* data, size_t size);

// The profile made from those bytes under the file's name, or none.
TRef<TColorProfile> ReadJpegProfile(TStream& stream, const std::string& name);

}  // namespace vyr

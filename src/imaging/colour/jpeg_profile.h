#pragma once
// The colour profile embedded in a JPEG's first APP2 segment.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/colour/color_profile.h"

namespace vyr {

// The ICC bytes of the first APP2 segment (without its 14-byte identifier); empty when the
// markers before the first scan hold none. Files over 100 MiB are not scanned.
std::vector<uint8_t> ReadJpegProfileBytes(const uint8_t* data, size_t size);

// The profile made from those bytes under the file's name, or none.
TRef<TColorProfile> ReadJpegProfile(const std::vector<uint8_t>& data, const std::string& name);

}  // namespace vyr

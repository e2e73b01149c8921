// The JPEG profile reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "imaging/colour/jpeg_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vyr::ReadJpegProfileBytes(data, size);
  return 0;
}

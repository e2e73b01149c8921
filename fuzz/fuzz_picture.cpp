// Every picture decoder behind the registry (containers, BMP, GIF and its atlas, JPEG, the PNG
// library) on arbitrary bytes under each picture name: whatever a header claims, the decoders
// stay within the pixel budget (run with a malloc limit just above it).
#include <cstddef>
#include <cstdint>
#include <exception>

#include "imaging/decode/decoder_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char* name : {"f.png", "f.bmp", "f.gif", "f.gif|framesatlas", "f.jpg", "f.qzgfx"}) {
    auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
    try {
      if (auto image = vyr::DecodePicture(vyr::TRef<vyr::TStream>(stream), name)) {
        image->Store().GetMipLevel(0);
        image->Store().GetMipLevel(4);
      }
    } catch (const std::exception&) {
      // A JPEG level that does not decode raises its error; anything else is a finding.
    }
  }
  return 0;
}

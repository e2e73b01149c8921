// The ".qzgfx" container on arbitrary bytes, payload included.
#include <cstddef>
#include <cstdint>

#include "imaging/decode/gfx_container.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
  if (auto store = vyr::ReadGfxContainer(*stream, "f.qzgfx", nullptr)) store->GetMipLevel(0);
  return 0;
}

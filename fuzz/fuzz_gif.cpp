// GIF reader, first frame and frames atlas, on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "imaging/decode/gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
  if (auto store = vyr::ReadGifFirstFrame(*stream, "f.gif", nullptr)) store->GetMipLevel(1);
  if (auto atlas = vyr::ReadGifFramesAtlas(*stream, "f.gif|framesatlas", nullptr))
    atlas->GetMipLevel(0);
  return 0;
}

// BMP reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "imaging/decode/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
  if (auto bitmap = vyr::ReadBmp(*stream)) {
    volatile uint8_t sink = bitmap->Row(bitmap->Height() - 1)[bitmap->RowBytes() - 1];
    (void)sink;
  }
  return 0;
}

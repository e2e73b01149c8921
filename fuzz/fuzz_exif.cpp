// EXIF reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "imaging/metadata/exif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
  const vyr::TExif exif = vyr::ReadExif(*stream);
  volatile size_t sink =
      exif.dateTime.size() + exif.imageDescription.size() + exif.userComment.size();
  (void)sink;
  return 0;
}

// IPTC reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "imaging/metadata/iptc_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
  vyr::TIPTCData iptc;
  iptc.Read(*stream);
  volatile size_t sink = iptc.Text(90).size() + iptc.Texts(80).size();
  (void)sink;
  return 0;
}

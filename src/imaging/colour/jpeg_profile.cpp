#include "imaging/colour/jpeg_profile.h"

#include "imaging/decode/imaging_log.h"

namespace vyr {

namespace {

constexpr size_t kMaxScannedFile = 104857600;

bool HasLength(uint8_t marker) {
  return (marker >= 0xC0 && marker <= 0xCF) || (marker >= 0xE0 && marker <= 0xEF) ||
         (marker >= 0xDA && marker <= 0xDD) || marker == 0xFE;
}

}  // namespace

std::vector<uint8_t> ReadJpegProfileBytes(const uint8_t* data, size_t size) {
  if (size > kMaxScannedFile) return {};
  size_t p = 0;
  bool first = true;
  for (;;) {
    if (p >= size) {
      ImagingLog("Jpeg Marker expected");
      return {};
    }
    if (data[p] != 0xFF) {
      ImagingLog("Error: marker expected at " + std::to_string(p));
      return {};
    }
    ++p;
    if (p >= size) {
      ImagingLog("Jpeg Marker expected");
      return {};
    }
    while (data[p] == 0xFF) {
      ImagingLog("Error: duplicate $FF encountered at " + std::to_string(p));
      if (++p >= size) {
        ImagingLog("Jpeg Marker expected");
        return {};
      }
    }
    const uint8_t marker = data[p++];
    if (first && marker != 0xD8) return {};
    first = false;
    if (marker == 0xDA || marker == 0) return {};
    if (!HasLength(marker)) continue;
    if (p + 2 > size) return {};
    const size_t length = size_t{data[p]} << 8 | data[p + 1];
    if (length < 2) return {};
    if (marker == 0xE2) {
      if (length < 16 || p + length > size) return {};
      return std::vector<uint8_t>(data + p + 16, data + p + length);
    }
    p += length;
  }
}

TRef<TColorProfile> ReadJpegProfile(const std::vector<uint8_t>& data, const std::string& name) {
  return ProfileFromIcc(ReadJpegProfileBytes(data.data(), data.size()), name);
}

}  // namespace vyr

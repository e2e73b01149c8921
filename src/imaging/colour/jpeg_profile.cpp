#include "imaging/colour/jpeg_profile.h"

#include "imaging/decode/imaging_log.h"
#include "imaging/decode/piece_reader.h"

namespace vyr {

namespace {

constexpr int64_t kMaxScannedFile = 104857600;

bool HasLength(uint8_t marker) {
  return (marker >= 0xC0 && marker <= 0xCF) || (marker >= 0xE0 && marker <= 0xEF) ||
         (marker >= 0xDA && marker <= 0xDD) || marker == 0xFE;
}

// A marker byte, or the log line when the data ends.
bool MarkerByte(TPieceReader& in, uint8_t& b) {
  if (in.ReadByte(b)) return true;
  ImagingLog("Jpeg Marker expected");
  return false;
}

}  // namespace

std::vector<uint8_t> ReadJpegProfileBytes(TStream& stream) {
  const int64_t start = stream.Position();
  if (stream.Size() - start > kMaxScannedFile) return {};
  TPieceReader in(stream);
  bool first = true;
  for (;;) {
    uint8_t b = 0;
    if (!MarkerByte(in, b)) return {};
    if (b != 0xFF) {
      ImagingLog("Error: marker expected at " + std::to_string(in.Offset() - 1));
      return {};
    }
    if (!MarkerByte(in, b)) return {};
    while (b == 0xFF) {
      ImagingLog("Error: duplicate $FF encountered at " + std::to_string(in.Offset() - 1));
      if (!MarkerByte(in, b)) return {};
    }
    const uint8_t marker = b;
    if (first && marker != 0xD8) return {};
    first = false;
    if (marker == 0xDA || marker == 0) return {};
    if (!HasLength(marker)) continue;
    uint8_t size[2];
    if (in.Read(size, 2) != 2) return {};
    const size_t length = size_t{size[0]} << 8 | size[1];
    if (length < 2) return {};
    if (marker == 0xE2) {
      if (length < 16) return {};
      in.Skip(14);
      std::vector<uint8_t> profile(length - 16);
      if (in.Read(profile.data(), profile.size()) != profile.size()) return {};
      return profile;
    }
    in.Skip(static_cast<int64_t>(length) - 2);
  }
}

std::vector<uint8_t> ReadJpegProfileBytes(const uint8_t* data, size_t size) {
  auto stream = MakeRef<TMemoryStream>(std::vector<uint8_t>(data, data + size));
  return ReadJpegProfileBytes(*stream);
}

TRef<TColorProfile> ReadJpegProfile(TStream& stream, const std::string& name) {
  return ProfileFromIcc(ReadJpegProfileBytes(stream), name);
}

}  // namespace vyr

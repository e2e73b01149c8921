#include "imaging/decode/gfx_container.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "imaging/decode/bmp_reader.h"
#include "imaging/decode/picture_budget.h"

namespace vyr {

namespace {

// Deflate cannot expand data by more than about 1032 times.
constexpr int64_t kMaxDeflateRatio = 1032;

// The largest BMP a picture of that size is: 32 bits per pixel, headers and a full palette.
int64_t BmpBytesBound(int64_t width, int64_t height) { return width * height * 4 + 2048; }
// Deflate's stored blocks add 5 bytes per 65535: what a payload of that BMP may take.
int64_t PayloadBound(int64_t bmpBytes) { return bmpBytes + bmpBytes / 8192 + 65536; }

bool ReadU16(TStream& s, uint16_t& v) {
  uint8_t b[2];
  if (s.Read(b, 2) != 2) return false;
  v = static_cast<uint16_t>(b[0] | b[1] << 8);
  return true;
}

// Fails only when fewer than 2 bytes remain; a string cut short counts as empty.
bool ReadString(TStream& s, std::string& out) {
  out.clear();
  if (s.Size() - s.Position() < 2) return false;
  uint16_t length = 0;
  if (!ReadU16(s, length)) return false;
  std::string text(length, '\0');
  int64_t got = 0;
  while (got < length) {
    const int64_t n = s.Read(text.data() + got, length - got);
    if (n <= 0) break;
    got += n;
  }
  if (got == length) out = std::move(text);
  return true;
}

bool ParseInt(const std::string& text, int64_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool Inflate(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, int64_t limit) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  uint8_t chunk[65536];
  int result = Z_OK;
  while (result == Z_OK) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    result = inflate(&z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) break;
    out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
    if (static_cast<int64_t>(out.size()) > limit || !DecodeGoOn()) result = Z_MEM_ERROR;
    if (result == Z_OK && z.avail_in == 0 && z.avail_out != 0) result = Z_BUF_ERROR;
  }
  inflateEnd(&z);
  return result == Z_STREAM_END;
}

TRef<TBitmapStore> ReadContainer(TStream& s, const std::string& name,
                                 const TRotationHook& rotation) {
  char magic[4];
  if (s.Read(magic, 4) != 4 || std::memcmp(magic, "QZGF", 4) != 0) return nullptr;
  uint16_t count = 0;
  if (!ReadU16(s, count)) return nullptr;
  std::map<std::string, std::string> fields;
  for (uint16_t i = 0; i < count; ++i) {
    std::string key, value;
    if (!ReadString(s, key) || !ReadString(s, value)) return nullptr;
    fields[key] = value;
  }
  int64_t width = 0, height = 0, originalSize = 0;
  if (!fields.count("File") || !ParseInt(fields["Width"], width) ||
      !ParseInt(fields["Height"], height) || !ParseInt(fields["OriginalSize"], originalSize))
    return nullptr;
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return nullptr;
  if (!FitsPictureBudget(width, height, name)) return nullptr;
  // Bytes past what the picture's payload can take are never read.
  const int64_t left =
      std::min(s.Size() - s.Position(), PayloadBound(BmpBytesBound(width, height)));
  if (left <= 0) return nullptr;
  // The declared picture must be something the payload can inflate to.
  if (width * height > left * kMaxDeflateRatio / 4 + 65536) return nullptr;
  std::vector<uint8_t> payload(static_cast<size_t>(left));
  int64_t got = 0;
  while (got < left) {
    const int64_t n = s.Read(payload.data() + got, left - got);
    if (n <= 0) return nullptr;
    got += n;
  }
  return MakeRef<TGfxBitmapStore>(name, rotation, static_cast<int32_t>(width),
                                  static_cast<int32_t>(height), std::move(fields),
                                  std::move(payload));
}

}  // namespace

TGfxBitmapStore::TGfxBitmapStore(std::string name, TRotationHook rotation, int32_t width,
                                 int32_t height, std::map<std::string, std::string> fields,
                                 std::vector<uint8_t> payload)
    : TSysBitmapStore(std::move(name), std::move(rotation), pf::A8R8G8B8(), width, height),
      fields_(std::move(fields)),
      payload_(std::move(payload)) {}

std::string TGfxBitmapStore::Field(const std::string& fieldName) const {
  const auto found = fields_.find(fieldName);
  return found == fields_.end() ? std::string() : found->second;
}

TStoreLevel TGfxBitmapStore::Decode(int level) {
  if (level != 0) return {};
  TRef<TBitmap> picture;
  std::vector<uint8_t> bmp;
  const int64_t limit = std::min(static_cast<int64_t>(payload_.size()) * kMaxDeflateRatio + 65536,
                                 BmpBytesBound(DecodedWidth(), DecodedHeight()));
  if (Inflate(payload_, bmp, limit)) {
    auto stream = MakeRef<TMemoryStream>(std::move(bmp));
    picture = ReadBmp(*stream, Params().name);
  }
  std::vector<uint8_t>().swap(payload_);
  if (!picture) {
    picture = MakeRef<TDirectBitmap>(DecodedWidth(), DecodedHeight(), pf::A8R8G8B8());
    picture->FillRect({0, 0, DecodedWidth(), DecodedHeight()}, 0xFF00FF00u);
  }
  return {picture, false, 0};
}

TRef<TBitmapStore> ReadGfxContainer(TStream& stream, const std::string& name,
                                    const TRotationHook& rotation) {
  const int64_t start = stream.Position();
  TRef<TBitmapStore> store;
  try {
    store = ReadContainer(stream, name, rotation);
  } catch (const EStreamError&) {
    store = nullptr;
  }
  if (!store) stream.Seek(start);
  return store;
}

}  // namespace vyr

#include "imaging/decode/gif_reader.h"

#include <algorithm>
#include <cstring>

#include "imaging/decode/imaging_log.h"
#include "imaging/decode/picture_budget.h"

namespace vyr {

namespace {

// LZW turns 1.5 bytes into at most 4096 pixels; an image larger than its data could ever fill
// is not believed.
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kPixelsFloor = int64_t{1} << 22;
constexpr int kMaxCodes = 4096;
// Codes of at most 12 bits, each at least one pixel (and a clear code before each at worst):
// LZW data past this many bytes per pixel cannot change the image and is skipped.
constexpr int64_t kMaxBytesPerPixel = 4;
constexpr int64_t kBytesFloor = 65536;

}  // namespace

size_t DecodeGifLzw(int minCodeSize, const std::vector<uint8_t>& data, uint8_t* out, size_t count,
                    bool& complete) {
  complete = false;
  if (minCodeSize < 1 || minCodeSize > 11) return 0;
  const int clear = 1 << minCodeSize, end = clear + 1;
  uint16_t prefix[kMaxCodes];
  uint8_t suffix[kMaxCodes];
  uint16_t length[kMaxCodes];
  for (int i = 0; i < clear; ++i) {
    prefix[i] = 0;
    suffix[i] = static_cast<uint8_t>(i);
    length[i] = 1;
  }
  int codeSize = minCodeSize + 1, next = clear + 2, previous = -1;
  uint32_t bits = 0;
  int bitCount = 0;
  size_t p = 0, written = 0;
  while (written < count) {
    while (bitCount < codeSize) {
      if (p >= data.size()) {
        ImagingLog("GIFWarning: DecodeTooFewBits! ");
        return written;
      }
      bits |= uint32_t{data[p++]} << bitCount;
      bitCount += 8;
    }
    const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
    bits >>= codeSize;
    bitCount -= codeSize;
    if (code == clear) {
      codeSize = minCodeSize + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) break;
    if (previous < 0) {
      if (code >= clear) return written;  // the first code after a clear must be a colour
      out[written++] = static_cast<uint8_t>(code);
      previous = code;
      continue;
    }
    if (code > next || code >= kMaxCodes) return written;  // out of range
    // A known code is its own string; the next free code is the previous string plus the
    // previous string's first byte.
    const int c = code < next ? code : previous;
    const size_t n = length[c] + (code < next ? 0 : 1);
    size_t at = written + length[c] - 1;
    int walk = c;
    for (;;) {
      if (at < count) out[at] = suffix[walk];
      if (length[walk] == 1) break;
      if (prefix[walk] >= walk) {
        ImagingLog("GIF Warning: DecodeCircular! ");
        return written;
      }
      walk = prefix[walk];
      --at;
    }
    const uint8_t root = suffix[walk];
    if (code >= next && written + n - 1 < count) out[written + n - 1] = root;
    written = std::min(count, written + n);
    if (next < kMaxCodes) {
      prefix[next] = static_cast<uint16_t>(previous);
      suffix[next] = root;
      length[next] = static_cast<uint16_t>(length[previous] + 1);
      ++next;
      if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    previous = code;
  }
  complete = written == count;
  return written;
}

bool TFPReaderGif::Open(TStream& stream, std::string_view name) {
  const int64_t start = stream.Position();
  name_ = name;
  reader_.emplace(stream);
  uint8_t d[13];
  const bool gif = ReadBytes(d, 13) == 13 && std::memcmp(d, "GIF", 3) == 0 &&
                   (std::memcmp(d + 3, "87a", 3) == 0 || std::memcmp(d + 3, "89a", 3) == 0);
  if (!gif || !FitsPictureFileBudget(stream.Size() - start, name)) {
    reader_.reset();
    stream.Seek(start);
    return false;
  }
  screenWidth_ = d[6] | d[7] << 8;
  screenHeight_ = d[8] | d[9] << 8;
  const uint8_t flags = d[10];
  background_ = d[11];
  if (flags & 0x80) ReadTable(1 << ((flags & 7) + 1), globalTable_);
  return true;
}

void TFPReaderGif::ReadTable(int entries, uint32_t table[256]) {
  uint8_t rgb[256 * 3];
  const size_t got = ReadBytes(rgb, static_cast<size_t>(entries) * 3);
  std::fill(table, table + 256, 0u);
  for (size_t i = 0; i < got / 3; ++i)
    table[i] =
        0xFF000000u | uint32_t{rgb[i * 3]} << 16 | uint32_t{rgb[i * 3 + 1]} << 8 | rgb[i * 3 + 2];
}

std::vector<uint8_t> TFPReaderGif::ReadSubBlocks(size_t limit) {
  std::vector<uint8_t> joined;
  uint8_t size = 0;
  while (ReadByte(size) && size > 0) {
    if (joined.size() >= limit) {
      reader_->Skip(size);
      continue;
    }
    const size_t at = joined.size();
    joined.resize(at + size);
    const size_t got = ReadBytes(&joined[at], size);
    if (got < size) {
      ImagingLog("GIFWarning: OutOfData! ");
      joined.resize(at + got);
    }
  }
  return joined;
}

void TFPReaderGif::SkipSubBlocks() {
  uint8_t size = 0;
  while (ReadByte(size) && size > 0) reader_->Skip(size);
}

void TFPReaderGif::ReadExtension() {
  uint8_t label = 0;
  if (!ReadByte(label)) return;
  if (label == 0xF9) {
    const std::vector<uint8_t> b = ReadSubBlocks(256);
    if (b.size() >= 4) {
      gce_ = true;
      gceDisposal_ = (b[0] >> 2) & 7;
      gceTransparent_ = b[0] & 1;
      gceDelay_ = b[1] | b[2] << 8;
      gceIndex_ = b[3];
    }
    return;
  }
  if (label == 0xFF) {
    uint8_t size = 0;
    if (!ReadByte(size)) return;
    uint8_t id[255];
    const size_t got = ReadBytes(id, size);
    const bool netscape = size == 11 && got == 11 && std::memcmp(id, "NETSCAPE2.0", 11) == 0;
    // The looping sub-block: 3 bytes beginning with 1, then the repeat count.
    uint8_t length = 0;
    if (netscape && ReadByte(length)) {
      if (length == 0) return;  // that was the terminator
      uint8_t sub[255];
      if (ReadBytes(sub, length) == length && length == 3 && sub[0] == 1) {
        const int repeat = sub[1] | sub[2] << 8;
        repeatCount_ = repeat == 65535 ? 0 : repeat;
        looping_ = true;
      }
    }
    SkipSubBlocks();
    return;
  }
  SkipSubBlocks();  // plain text, comment and anything else
}

bool TFPReaderGif::NextFrame(TGifFrame& frame, int64_t maxPixels) {
  if (!reader_) return false;
  for (;;) {
    uint8_t introducer = 0;
    if (!ReadByte(introducer)) return false;
    if (introducer == 0x21) {
      ReadExtension();
    } else if (introducer == 0x2C) {
      return ReadImage(frame, maxPixels);
    } else {
      return false;  // the trailer, or something no GIF holds
    }
  }
}

bool TFPReaderGif::ReadImage(TGifFrame& frame, int64_t maxPixels) {
  uint8_t d[9];
  if (ReadBytes(d, 9) != 9) return false;
  frame.left = d[0] | d[1] << 8;
  frame.top = d[2] | d[3] << 8;
  const int32_t width = d[4] | d[5] << 8, height = d[6] | d[7] << 8;
  const uint8_t flags = d[8];
  uint32_t table[256];
  std::memcpy(table, globalTable_, sizeof table);
  if (flags & 0x80) ReadTable(1 << ((flags & 7) + 1), table);
  const bool transparent = gce_ ? gceTransparent_ : background_ != 0;
  const int transparentIndex = gce_ ? gceIndex_ : background_;
  if (transparent) table[transparentIndex] &= 0x00FFFFFFu;
  frame.disposal = gce_ ? gceDisposal_ : 0;
  frame.delay = gce_ ? gceDelay_ : 0;
  gce_ = false;

  const int64_t pixels = int64_t{width} * height;
  if (width == 0 || height == 0 || pixels > maxPixels || !FitsPictureBudget(width, height, name_))
    return false;
  uint8_t minCodeSize = 0;
  if (!ReadByte(minCodeSize)) return false;
  const std::vector<uint8_t> lzw =
      ReadSubBlocks(static_cast<size_t>(pixels * kMaxBytesPerPixel + kBytesFloor));
  if (pixels > static_cast<int64_t>(lzw.size()) * kMaxPixelsPerByte + kPixelsFloor) return false;
  std::vector<uint8_t> indices(static_cast<size_t>(pixels), 0);
  const size_t decoded =
      DecodeGifLzw(minCodeSize, lzw, indices.data(), indices.size(), frame.complete);

  frame.bitmap = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  // Interlaced rows come in four passes: 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...
  static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  const bool interlaced = flags & 0x40;
  int32_t source = 0;
  for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
    const int32_t first = interlaced ? kStart[pass] : 0, step = interlaced ? kStep[pass] : 1;
    for (int32_t y = first; y < height; y += step, ++source) {
      if (!DecodeGoOn()) return false;
      auto* out = reinterpret_cast<uint8_t*>(frame.bitmap->Row(y));
      const size_t rowStart = static_cast<size_t>(source) * width;
      const uint8_t* in = &indices[rowStart];
      // Pixels the data did not reach stay transparent.
      const int32_t known = decoded <= rowStart
                                ? 0
                                : static_cast<int32_t>(std::min<size_t>(width, decoded - rowStart));
      for (int32_t x = 0; x < known; ++x) {
        const uint32_t c = table[in[x]];
        out[x * 4] = static_cast<uint8_t>(c);
        out[x * 4 + 1] = static_cast<uint8_t>(c >> 8);
        out[x * 4 + 2] = static_cast<uint8_t>(c >> 16);
        out[x * 4 + 3] = static_cast<uint8_t>(c >> 24);
      }
    }
  }
  return true;
}

}  // namespace vyr

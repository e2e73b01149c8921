#include "imaging/metadata/exif_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "foundation/codepage.h"
#include "foundation/exceptions.h"
#include "foundation/utf.h"

namespace vyr {

namespace {

constexpr int64_t kCacheStep = 4096;
constexpr uint32_t kMaxTextCount = 10000;
constexpr int64_t kApp1SearchBytes = 2000;

enum : uint16_t {
  kTagImageDescription = 0x010E,
  kTagDateTime = 0x0132,
  kTagUserComment = 0x9286,
  kTagExifIfd = 0x8769,
};

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<uint8_t>(s[i]);
    size_t extra = 0;
    if (c < 0x80) {
      extra = 0;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
    } else {
      return false;
    }
    if (i + extra >= s.size() && extra > 0) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

std::string TrimBlanks(std::string s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

class TTiffReader {
 public:
  TTiffReader(TExifReadCache& cache, int64_t header, bool bigEndian)
      : cache_(cache), header_(header), bigEndian_(bigEndian) {}

  uint16_t U16(int64_t pos) {
    uint8_t b[2];
    cache_.Read(pos, b, 2);
    return bigEndian_ ? uint16_t(b[0] << 8 | b[1]) : uint16_t(b[1] << 8 | b[0]);
  }
  uint32_t U32(int64_t pos) {
    uint8_t b[4];
    cache_.Read(pos, b, 4);
    return bigEndian_ ? uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]
                      : uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
  }

  // The entry's text: up to the first zero byte, UTF-8 or else the ANSI code page, with
  // characters at or below the blank removed from the end. Values of up to 4 bytes live in
  // the entry itself.
  std::string Text(int64_t entry, uint32_t count, uint32_t skip = 0) {
    if (count > kMaxTextCount || count <= skip) return {};
    std::string bytes(count - skip, '\0');
    if (count <= 4)
      cache_.Read(entry + 8 + skip, bytes.data(), count - skip);
    else
      cache_.Read(header_ + U32(entry + 8) + skip, bytes.data(), count - skip);
    bytes.resize(std::min(bytes.size(), bytes.find('\0')));
    while (!bytes.empty() && static_cast<uint8_t>(bytes.back()) <= ' ') bytes.pop_back();
    return ValidUtf8(bytes) ? bytes : AnsiToUtf8(bytes);
  }

  std::string UserComment(int64_t entry, uint32_t count) {
    if (count > kMaxTextCount) return {};
    if (count >= 8) {
      char code[5];
      const int64_t at = count <= 4 ? entry + 8 : header_ + U32(entry + 8);
      cache_.Read(at, code, 5);
      if (std::memcmp(code, "ASCII", 5) == 0) return TrimBlanks(Text(entry, count, 8));
    }
    return Text(entry, count);
  }

 private:
  TExifReadCache& cache_;
  int64_t header_;
  bool bigEndian_;
};

}  // namespace

TExifReadCache::TExifReadCache(TStream& source) : source_(source), sourceSize_(source.Size()) {}

void TExifReadCache::Read(int64_t position, void* out, int64_t count) {
  if (position < 0 || count < 0 || position > sourceSize_ - count) throw EStreamReadError();
  const int64_t needed = position + count;
  if (needed > CachedSize()) {
    const int64_t target =
        std::min(sourceSize_, (needed + kCacheStep - 1) / kCacheStep * kCacheStep);
    const int64_t have = CachedSize();
    cache_.resize(static_cast<size_t>(target));
    source_.Seek(have);
    source_.ReadBuffer(cache_.data() + have, target - have);
  }
  std::memcpy(out, cache_.data() + position, static_cast<size_t>(count));
}

uint8_t TExifReadCache::Byte(int64_t position) {
  uint8_t b;
  Read(position, &b, 1);
  return b;
}

TExif ReadExif(TStream& stream) {
  try {
    TExifReadCache cache(stream);
    return ReadExif(cache);
  } catch (const std::exception&) {
    return {};
  }
}

TExif ReadExif(TExifReadCache& cache) {
  TExif exif;
  try {
    if (cache.Byte(0) != 0xFF || cache.Byte(1) != 0xD8) return exif;
    int64_t segment = 2;
    uint8_t head[9];
    cache.Read(segment, head, 9);
    if (head[0] == 0xFF && head[1] == 0xE0) {  // an APP0 segment of the usual 16 bytes
      segment = 20;
      cache.Read(segment, head, 9);
    }
    if (!(head[0] == 0xFF && head[1] == 0xE1)) {
      int64_t found = -1;
      for (int64_t p = segment; p < segment + kApp1SearchBytes; ++p) {
        uint8_t pair[2];
        try {
          cache.Read(p, pair, 2);
        } catch (const EStreamReadError&) {
          break;
        }
        if (pair[0] == 0xFF && pair[1] == 0xE1) {
          found = p;
          break;
        }
      }
      if (found < 0) return exif;
      segment = found;
      cache.Read(segment, head, 9);
    }
    const int64_t header = segment + 9 + 1;
    const bool bigEndian = cache.Byte(header) == 'M' && cache.Byte(header + 1) == 'M';
    TTiffReader tiff(cache, header, bigEndian);

    // IFD0 is where the header says (writers put it at offset 8).
    const int64_t ifd0 = header + tiff.U32(header + 4);
    uint32_t entries = tiff.U16(ifd0);
    if (entries == 0) entries = 100;  // read on to the first tag 0
    uint32_t exifIfd = 0;
    for (uint32_t i = 0; i < entries; ++i) {
      const int64_t entry = ifd0 + 2 + int64_t{i} * 12;
      const uint16_t tag = tiff.U16(entry);
      if (tag == 0) break;
      const uint32_t count = tiff.U32(entry + 4);
      if (tag == kTagImageDescription) exif.imageDescription = tiff.Text(entry, count);
      if (tag == kTagDateTime) exif.dateTime = tiff.Text(entry, count);
      if (tag == kTagUserComment && exif.userComment.empty())
        exif.userComment = tiff.UserComment(entry, count);
      if (tag == kTagExifIfd) exifIfd = tiff.U32(entry + 8);
    }
    if (exifIfd != 0) {
      const int64_t ifd = header + exifIfd;
      const uint16_t count = tiff.U16(ifd);
      for (uint32_t i = 0; i < count; ++i) {
        const int64_t entry = ifd + 2 + int64_t{i} * 12;
        if (tiff.U16(entry) == kTagUserComment)
          exif.userComment = tiff.UserComment(entry, tiff.U32(entry + 4));
      }
    }
  } catch (const std::exception&) {
    // What was read stays.
  }
  return exif;
}

}  // namespace vyr

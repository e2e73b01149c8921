#include "imaging/decode/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/decode/picture_budget.h"

namespace vyr {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
// RLE runs and deltas can grow a picture far beyond its data; beyond this many pixels per byte
// of data (plus a floor for small pictures) the header is not believed.
constexpr int64_t kRlePixelsPerByte = 1024;
constexpr int64_t kRlePixelsFloor = int64_t{1} << 24;
// Run-length data never needs more than about a byte per pixel and a row end per row; what
// lies beyond cannot change the picture and is not read.
constexpr int64_t kRleBytesPerPixel = 2;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

struct TBmpInfo {
  int64_t start = 0;
  uint32_t dataOffset = 0;
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t rows = 0;  // |height|
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  int64_t stride = 0;
};

// Reads exactly count bytes at an absolute position.
bool ReadAt(TStream& s, int64_t position, void* buffer, int64_t count) {
  if (position < 0 || s.Seek(position) != position) return false;
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const int64_t got = s.Read(out, count);
    if (got <= 0) return false;
    out += got;
    count -= got;
  }
  return true;
}

// 2^bits entries of B, G, R; entries the file does not hold stay black.
std::vector<uint8_t> ReadPalette(TStream& s, const TBmpInfo& info) {
  const int full = 1 << info.bits;
  const int count =
      info.colorsUsed > 0 ? static_cast<int>(std::min<uint32_t>(info.colorsUsed, full)) : full;
  std::vector<uint8_t> raw(static_cast<size_t>(count) * 4, 0);
  const int64_t at = info.start + 14 + info.headerSize;
  s.Seek(at);
  int64_t got = 0;
  while (got < static_cast<int64_t>(raw.size())) {
    const int64_t n = s.Read(raw.data() + got, static_cast<int64_t>(raw.size()) - got);
    if (n <= 0) break;
    got += n;
  }
  std::vector<uint8_t> palette(static_cast<size_t>(full) * 3, 0);
  for (int i = 0; i < count; ++i) std::memcpy(&palette[i * 3], &raw[i * 4], 3);
  return palette;
}

int DestRow(const TBmpInfo& info, int32_t fileRow) {
  return info.height > 0 ? info.rows - 1 - fileRow : fileRow;
}

void MapIndices(const uint8_t* indices, int32_t width, const std::vector<uint8_t>& palette,
                uint8_t* out) {
  const size_t entries = palette.size() / 3;
  for (int32_t x = 0; x < width; ++x, out += 3) {
    const size_t i = indices[x] < entries ? indices[x] : 0;
    out[0] = palette[i * 3];
    out[1] = palette[i * 3 + 1];
    out[2] = palette[i * 3 + 2];
  }
}

void UnpackRow(const uint8_t* row, int bits, int32_t width, uint8_t* indices) {
  if (bits == 8) {
    std::memcpy(indices, row, static_cast<size_t>(width));
    return;
  }
  const int perByte = 8 / bits;
  const int mask = (1 << bits) - 1;
  for (int32_t x = 0; x < width; ++x) {
    const int shift = 8 - bits * (x % perByte + 1);
    indices[x] = static_cast<uint8_t>((row[x / perByte] >> shift) & mask);
  }
}

TRef<TDirectBitmap> ReadUncompressed(TStream& s, const TBmpInfo& info, const TPixelFormat* format,
                                     const std::vector<uint8_t>& palette) {
  const int64_t rowBytes = (int64_t{info.bits} * info.width + 7) / 8;
  const int64_t dataStart = info.start + info.dataOffset;
  // Every row must be there (the last one's padding may be missing) before anything is made.
  const int64_t available = s.Size() - dataStart;
  if (available < rowBytes || (available - rowBytes) / info.stride < info.rows - 1) return nullptr;
  auto bitmap = MakeRef<TDirectBitmap>(info.width, info.rows, format);
  std::vector<uint8_t> row(static_cast<size_t>(info.stride));
  std::vector<uint8_t> indices(palette.empty() ? 0 : static_cast<size_t>(info.width));
  for (int32_t r = 0; r < info.rows; ++r) {
    if (!DecodeGoOn() || !ReadAt(s, dataStart + r * info.stride, row.data(), rowBytes))
      return nullptr;
    uint8_t* out = bitmap->Row(DestRow(info, r));
    if (palette.empty()) {
      std::memcpy(out, row.data(), bitmap->RowBytes());
    } else {
      UnpackRow(row.data(), info.bits, info.width, indices.data());
      MapIndices(indices.data(), info.width, palette, out);
    }
  }
  return bitmap;
}

// Run-length data into one index per pixel, rows in file order; runs past the row end are
// cut, and decoding stops at the end of the data or of the picture.
void DecodeRle(const std::vector<uint8_t>& data, const TBmpInfo& info, uint8_t* indices) {
  const bool four = info.bits == 4;
  const int64_t w = info.width, h = info.rows;
  int64_t x = 0, y = 0;
  size_t p = 0;
  auto put = [&](uint8_t v) {
    if (x < w && y < h) indices[y * w + x] = v;
    ++x;
  };
  while (p + 1 < data.size() && y < h) {
    const uint8_t count = data[p], value = data[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count && x < w; ++i)
        put(four ? static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 15) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return;
    } else if (value == 2) {  // delta
      if (p + 1 >= data.size()) return;
      x += data[p];
      y += data[p + 1];
      p += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1u) / 2 : value;
      for (int i = 0; i < value && p + (four ? i / 2 : i) < data.size(); ++i) {
        const uint8_t b = data[p + (four ? i / 2 : i)];
        put(four ? static_cast<uint8_t>(i % 2 == 0 ? b >> 4 : b & 15) : b);
      }
      p += bytes + (bytes & 1);
    }
  }
}

TRef<TDirectBitmap> ReadRle(TStream& s, const TBmpInfo& info, const std::vector<uint8_t>& palette) {
  const int64_t dataStart = info.start + info.dataOffset;
  const int64_t available = s.Size() - dataStart;
  if (available <= 0) return nullptr;
  const int64_t pixels = int64_t{info.width} * info.rows;
  if (pixels > available * kRlePixelsPerByte + kRlePixelsFloor) return nullptr;
  const int64_t used =
      std::min(available, pixels * kRleBytesPerPixel + int64_t{info.rows} * 4 + 65536);
  std::vector<uint8_t> data(static_cast<size_t>(used));
  if (!ReadAt(s, dataStart, data.data(), used)) return nullptr;
  std::vector<uint8_t> indices(static_cast<size_t>(pixels), 0);
  DecodeRle(data, info, indices.data());
  auto bitmap = MakeRef<TDirectBitmap>(info.width, info.rows, pf::R8G8B8());
  for (int32_t r = 0; r < info.rows; ++r) {
    if (!DecodeGoOn()) return nullptr;
    MapIndices(&indices[static_cast<size_t>(r) * info.width], info.width, palette,
               bitmap->Row(DestRow(info, r)));
  }
  return bitmap;
}

TRef<TDirectBitmap> ReadAll(TStream& s, std::string_view name) {
  TBmpInfo info;
  info.start = s.Position();
  const int64_t size = s.Size();
  uint8_t file[14], head[40];
  if (size - info.start < 14 || !ReadAt(s, info.start, file, 14)) return nullptr;
  if (file[0] != 'B' || file[1] != 'M') return nullptr;
  if (size - info.start < U32(file + 2)) return nullptr;
  info.dataOffset = U32(file + 10);
  if (size - info.start - 14 < 40 || !ReadAt(s, info.start + 14, head, 40)) return nullptr;
  info.headerSize = U32(head);
  info.width = static_cast<int32_t>(U32(head + 4));
  info.height = static_cast<int32_t>(U32(head + 8));
  const uint16_t planes = U16(head + 12);
  info.bits = U16(head + 14);
  info.compression = U32(head + 16);
  info.colorsUsed = U32(head + 32);
  if (info.headerSize < 40 || info.width <= 0 || info.height == 0 || info.height == INT32_MIN ||
      planes != 1 || info.compression >= 6)
    return nullptr;
  info.rows = info.height < 0 ? -info.height : info.height;
  if (!FitsPictureBudget(info.width, info.rows, name)) return nullptr;
  info.stride = (int64_t{info.bits} * info.width + 31) / 32 * 4;

  switch (info.bits) {
    case 1:
    case 4:
    case 8: {
      const std::vector<uint8_t> palette = ReadPalette(s, info);
      if (info.compression == kRgb) return ReadUncompressed(s, info, pf::R8G8B8(), palette);
      if ((info.compression == kRle8 && info.bits == 8) ||
          (info.compression == kRle4 && info.bits == 4))
        return ReadRle(s, info, palette);
      return nullptr;
    }
    case 16: {
      if (info.compression == kRgb) return ReadUncompressed(s, info, PixelFormat("X1R5G5B5"), {});
      if (info.compression != kBitFields) return nullptr;
      uint8_t masks[12];
      if (!ReadAt(s, info.start + 14 + 40, masks, 12)) return nullptr;
      const uint32_t green = U32(masks + 4);
      if (green == 0x3E0) return ReadUncompressed(s, info, PixelFormat("X1R5G5B5"), {});
      if (green == 0x7E0) return ReadUncompressed(s, info, PixelFormat("R5G6B5"), {});
      return nullptr;
    }
    case 24:
      if (info.compression != kRgb) return nullptr;
      return ReadUncompressed(s, info, pf::R8G8B8(), {});
    case 32:
      if (info.compression != kRgb && info.compression != kBitFields) return nullptr;
      return ReadUncompressed(s, info, pf::A8R8G8B8(), {});
    default:
      return nullptr;
  }
}

}  // namespace

TRef<TDirectBitmap> ReadBmp(TStream& stream, std::string_view name) {
  const int64_t start = stream.Position();
  TRef<TDirectBitmap> bitmap;
  try {
    bitmap = ReadAll(stream, name);
  } catch (const EStreamError&) {
    bitmap = nullptr;
  }
  if (!bitmap) stream.Seek(start);
  return bitmap;
}

}  // namespace vyr

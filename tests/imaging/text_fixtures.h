#pragma once
// Test helpers for text: a package of entries in memory, and vector text and glyph caches
// written byte by byte in the entry format.

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "foundation/stream_opener.h"
#include "imaging/bitmap/bitmap.h"

namespace vyr::testing {

// Little-endian entry bytes.
struct TEntryBytes {
  std::vector<uint8_t> bytes;
  TEntryBytes& I32(int32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(uint32_t(v) >> (8 * i)));
    return *this;
  }
  TEntryBytes& F32(float v) {
    int32_t bits;
    std::memcpy(&bits, &v, 4);
    return I32(bits);
  }
  TEntryBytes& U16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  // Length and UTF-16 code units (ASCII keys only).
  TEntryBytes& Key(const std::string& key) {
    I32(static_cast<int32_t>(key.size()));
    for (char c : key) U16(static_cast<uint8_t>(c));
    return *this;
  }
};

// A square glyph: ink from x 0 to size, y -size to 0 (above the baseline), em = size.
inline void AddSquareGlyph(TEntryBytes& e, uint16_t index, float size) {
  e.U16(index).I32(0).I32(int32_t(size)).I32(0).I32(int32_t(size)).I32(0).F32(size);
  e.I32(4);
  e.F32(0).F32(-size).I32(0);
  e.F32(size).F32(-size).I32(1);
  e.F32(size).F32(0).I32(1);
  e.F32(0).F32(0).I32(1);
}

// Package entries by exact name.
struct TEntries {
  std::map<std::string, std::vector<uint8_t>> entries;
  TStreamOpener Opener() const {
    return [this](const std::string& name) -> TRef<TStream> {
      const auto it = entries.find(name);
      return it == entries.end() ? nullptr : MakeRef<TMemoryStream>(it->second);
    };
  }
};

inline int AlphaAt(const TBitmap& bitmap, int x, int y) { return bitmap.Row(y)[x * 4 + 3]; }

// Rows (or columns) of a bitmap that hold any ink.
inline std::vector<int> InkedRows(const TBitmap& b) {
  std::vector<int> rows;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (AlphaAt(b, x, y)) {
        rows.push_back(y);
        break;
      }
  return rows;
}
inline std::vector<int> InkedColumns(const TBitmap& b, int y0, int y1) {
  std::vector<int> cols;
  for (int x = 0; x < b.Width(); ++x)
    for (int y = y0; y < y1; ++y)
      if (AlphaAt(b, x, y)) {
        cols.push_back(x);
        break;
      }
  return cols;
}

}  // namespace vyr::testing

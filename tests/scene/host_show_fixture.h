#pragma once
// A show held in memory for the slide-host tests: named entries, a file access over them and
// pixel reads of the host's pictures.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"
#include "imaging/bitmap/pixel_converter.h"
#include "imaging/bitmap/pixel_format.h"
#include "package/access/file_accessor.h"
#include "package/access/file_source.h"

namespace vyr::test {

class TMemoryShowSource : public TFileSource {
 public:
  void Add(const std::string& name, const std::string& bytes) { entries_[name] = bytes; }

 protected:
  TRef<TStream> Open(const std::string& name) override {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return nullptr;
    return MakeRef<TMemoryStream>(std::vector<uint8_t>(found->second.begin(), found->second.end()));
  }

 private:
  std::map<std::string, std::string> entries_;
};

struct TMemoryShow {
  TRef<TMemoryShowSource> source = MakeRef<TMemoryShowSource>();
  TRef<TFileAccessor> files = MakeRef<TFileAccessor>(source, "/show");
};

// Pixel (x, y) of a bitmap as 0xAARRGGBB, whatever its format.
inline uint32_t PixelAt(const TBitmap& bitmap, int32_t x, int32_t y) {
  uint8_t argb[4];
  const size_t size = static_cast<size_t>(bitmap.BytesPerPixel());
  GetPixelConverter(bitmap.Format(), pf::A8R8G8B8())
      ->Convert(argb, bitmap.Row(y) + size * static_cast<size_t>(x), 1);
  return static_cast<uint32_t>(argb[0]) | argb[1] << 8 | argb[2] << 16 |
         static_cast<uint32_t>(argb[3]) << 24;
}

inline uint32_t PixelAt(const TImage& picture, int32_t x, int32_t y) {
  return PixelAt(*picture.Bitmap(), x, y);
}

// The grey level of an opaque grey pixel (its blue channel).
inline int GreyAt(const TBitmap& bitmap, int32_t x, int32_t y) {
  return static_cast<int>(PixelAt(bitmap, x, y) & 0xFF);
}

}  // namespace vyr::test

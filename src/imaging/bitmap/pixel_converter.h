#pragma once
// Converters that turn a run of pixels of one format into another, registered by the pair
// "source->destination" and created on first request.

#include <cstdint>

#include "foundation/ref_object.h"
#include "imaging/bitmap/pixel_format.h"

namespace vyr {

class TPixelConverter : public TRefObject {
 public:
  TPixelConverter(const TPixelFormat* source, const TPixelFormat* dest)
      : source_(source), dest_(dest) {}
  const TPixelFormat* Source() const { return source_; }
  const TPixelFormat* Dest() const { return dest_; }

  // Converts count pixels from source to dest memory.
  virtual void Convert(uint8_t* dest, const uint8_t* source, int count) const = 0;
  // The same with the destination offset by index pixels of 1, 2, 3 or 4 bytes.
  void Convert8(uint8_t* dest, int index, const uint8_t* source, int count) const {
    Convert(dest + index, source, count);
  }
  void Convert16(uint8_t* dest, int index, const uint8_t* source, int count) const {
    Convert(dest + index * 2, source, count);
  }
  void Convert24(uint8_t* dest, int index, const uint8_t* source, int count) const {
    Convert(dest + index * 3, source, count);
  }
  void Convert32(uint8_t* dest, int index, const uint8_t* source, int count) const {
    Convert(dest + index * 4, source, count);
  }

 protected:
  const TPixelFormat* source_;
  const TPixelFormat* dest_;
};
using TConvertOperator = TPixelConverter;

// The registered converter of the pair, created and registered on first request.
const TPixelConverter* GetPixelConverter(const TPixelFormat* source, const TPixelFormat* dest);

// Premultiplies 32-bit pixels whose alpha is the fourth byte: alpha 0 clears the pixel,
// 255 keeps it, otherwise each colour byte becomes byte * alpha >> 8.
void PremultiplyPixels(uint8_t* dest, const uint8_t* source, int count);

}  // namespace vyr

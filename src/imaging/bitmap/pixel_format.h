#pragma once
// Pixel formats named by their channels, most significant first ("A8R8G8B8"); one object
// per name for the life of the process.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ref_object.h"

namespace vyr {

enum class TChannelCode : uint8_t { X = 0, R = 1, G = 2, B = 3, A = 4 };

struct TPixelChannel {
  TChannelCode code;
  int bits;
  int shift;  // position of the channel's lowest bit within the pixel
};

class TPixelFormat : public TRefObject {
 public:
  const std::string& Name() const { return name_; }
  // Least significant channel first.
  const std::vector<TPixelChannel>& Channels() const { return channels_; }
  int Bits() const { return bits_; }
  int BytesPerPixel() const { return (bits_ - 1) / 8 + 1; }
  bool HasAlpha() const { return hasAlpha_; }
  bool BitPacked() const { return bitPacked_; }
  bool Premultiplied() const { return premultiplied_; }
  // The channel of that code, or null.
  const TPixelChannel* Channel(TChannelCode code) const;

 protected:
  std::string name_;
  std::vector<TPixelChannel> channels_;
  int bits_ = 0;
  bool hasAlpha_ = false;
  bool bitPacked_ = false;
  bool premultiplied_ = false;
};

class TCommonPixelFormat : public TPixelFormat {
 public:
  // Parses a name; Valid() is false when it is not a pixel-format name.
  explicit TCommonPixelFormat(std::string_view name);
  bool Valid() const { return bits_ > 0; }
};

// The format of that name, created and registered on first use; null when the name is not
// a valid format (letters R G B A Y X with bit counts, 1 to 32 bits in all).
const TPixelFormat* FindPixelFormat(std::string_view name);
// Same, but an invalid name is an assertion.
const TPixelFormat* PixelFormat(std::string_view name);

// The formats every part of the program uses.
namespace pf {
const TPixelFormat* Y8();
const TPixelFormat* A8();
const TPixelFormat* R8G8B8();
const TPixelFormat* A8R8G8B8();
const TPixelFormat* B8G8R8();
const TPixelFormat* A8B8G8R8();
const TPixelFormat* PremulA8R8G8B8();  // "A8r8g8b8"
}  // namespace pf

}  // namespace vyr

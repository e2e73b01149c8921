#include "imaging/bitmap/bmp_writer.h"

#include <cstring>

namespace vyr {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kRgb = 0, kBitFields = 3;
constexpr uint32_t kSrgbColourSpace = 0x73524742;  // "sRGB"

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap) {
  const bool alpha = bitmap.Format()->HasAlpha();
  const int32_t width = bitmap.Width(), height = bitmap.Height();
  // R8G8B8 and A8R8G8B8 lie in memory as B, G, R (, A): the BMP byte order.
  auto pixels = MakeRef<TDirectBitmap>(width, height, alpha ? pf::A8R8G8B8() : pf::R8G8B8());
  pixels->CopyRect({0, 0, width, height}, bitmap, {0, 0});
  const uint32_t header = alpha ? kV4HeaderSize : kInfoHeaderSize;
  const size_t rowBytes = pixels->RowBytes();
  const size_t stride = (rowBytes + 3) / 4 * 4;
  const size_t dataOffset = kFileHeaderSize + header;
  std::vector<uint8_t> out(dataOffset + stride * static_cast<size_t>(height), 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, static_cast<uint32_t>(dataOffset));
  const size_t info = kFileHeaderSize;
  Put32(out, info, header);
  Put32(out, info + 4, static_cast<uint32_t>(width));
  Put32(out, info + 8, static_cast<uint32_t>(height));  // positive: bottom-up rows
  Put16(out, info + 12, 1);
  Put16(out, info + 14, alpha ? 32 : 24);
  Put32(out, info + 16, alpha ? kBitFields : kRgb);
  Put32(out, info + 20, static_cast<uint32_t>(stride * static_cast<size_t>(height)));
  Put32(out, info + 24, 3780);  // 96 dpi in pixels per metre
  Put32(out, info + 28, 3780);
  if (alpha) {
    Put32(out, info + 40, 0x00FF0000);
    Put32(out, info + 44, 0x0000FF00);
    Put32(out, info + 48, 0x000000FF);
    Put32(out, info + 52, 0xFF000000);
    Put32(out, info + 56, kSrgbColourSpace);
  }
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(out.data() + dataOffset + stride * static_cast<size_t>(height - 1 - y),
                pixels->Row(y), rowBytes);
  return out;
}

}  // namespace vyr

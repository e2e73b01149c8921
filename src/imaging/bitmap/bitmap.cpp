#include "imaging/bitmap/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/exceptions.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/pixel_converter.h"
#include "imaging/bitmap/pixel_memory.h"

namespace vyr {

namespace {

TBitmapClass ParentOf(TBitmapClass cls) {
  switch (cls) {
    case TBitmapClass::DirectBitmap:
    case TBitmapClass::SysBitmap:
      return TBitmapClass::Bitmap;
    case TBitmapClass::RefBitmap:
    case TBitmapClass::SysDirectWrapper:
      return TBitmapClass::SysBitmap;
    case TBitmapClass::CropBitmap:
      return TBitmapClass::RefBitmap;
    default:
      return TBitmapClass::Any;
  }
}

// Premultiplies a row of 32-bit pixels in place, skipping opaque ones.
void PremultiplyRow(uint8_t* row, int count, int alphaByte, int mode) {
  for (int i = 0; i < count; ++i, row += 4) {
    const unsigned a = row[alphaByte];
    if (a == 255) continue;
    for (int b = 0; b < 4; ++b) {
      if (b == alphaByte) continue;
      row[b] =
          static_cast<uint8_t>(mode == kPremultiplyShr8 ? (row[b] * a) >> 8 : row[b] * a / 255);
    }
  }
}

}  // namespace

bool ClassInherits(TBitmapClass child, TBitmapClass ancestor) {
  for (TBitmapClass c = child;; c = ParentOf(c)) {
    if (c == ancestor) return true;
    if (c == TBitmapClass::Any) return false;
  }
}

TRef<TBitmap> TBitmap::Clone() const {
  TRef<TBitmap> copy = CreateBitmap(width_, height_, format_, progress_, this, Class());
  if (!copy)
    copy = CreateBitmap(width_, height_, format_, progress_, this, TBitmapClass::SysBitmap);
  return copy;
}

int TBitmap::GetPixels(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                       int offset) const {
  const std::string cls = ClassNameOf(*this);
  VYR_ASSERT_MSG(x >= 0 && y >= 0 && x < width_ && y < height_,
                 cls + ".GetPixels (X,Y) out of Bitmap.Size");
  VYR_ASSERT_MSG(offset >= 0, cls + ".GetPixels - Offset out of Bounds");
  const int n = std::min(count, width_ - x);
  if (n <= 0) return 0;
  VYR_ASSERT_MSG(int64_t{offset} + n - 1 <= bufferHigh,
                 cls + ".GetPixels - Not Enought Pixel Buffer Space");
  const int size = BytesPerPixel();
  std::memcpy(buffer + static_cast<size_t>(offset) * size, Row(y) + static_cast<size_t>(x) * size,
              static_cast<size_t>(n) * size);
  return n * size;
}

int TBitmap::GetTypedPixels(int size, const char* name, uint8_t* buffer, int bufferHigh, int count,
                            int32_t y, int32_t x, int offset) const {
  const std::string prefix = ClassNameOf(*this) + "." + name;
  VYR_ASSERT_MSG(BytesPerPixel() == size, prefix + " - Pixel Size Mismatch");
  VYR_ASSERT_MSG(x >= 0 && y >= 0 && x < width_ && y < height_, prefix + " out of Bitmap.Size");
  const int n = std::min(count, width_ - x);
  if (n <= 0) return 0;
  VYR_ASSERT_MSG(offset >= 0 && int64_t{offset} + n - 1 <= bufferHigh,
                 prefix + " - Out of Pixel Buffer Bounds");
  std::memcpy(buffer + static_cast<size_t>(offset) * size, Row(y) + static_cast<size_t>(x) * size,
              static_cast<size_t>(n) * size);
  return n * size;
}

int TBitmap::GetPixels8(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                        int offset) const {
  return GetTypedPixels(1, "GetPixels8", buffer, bufferHigh, count, y, x, offset);
}
int TBitmap::GetPixels16(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                         int offset) const {
  return GetTypedPixels(2, "GetPixels16", buffer, bufferHigh, count, y, x, offset);
}
int TBitmap::GetPixels24(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                         int offset) const {
  return GetTypedPixels(3, "GetPixels24", buffer, bufferHigh, count, y, x, offset);
}
int TBitmap::GetPixels32(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                         int offset) const {
  return GetTypedPixels(4, "GetPixels32", buffer, bufferHigh, count, y, x, offset);
}

void TBitmap::CopyRect(TRect dest, const TBitmap& source, TPoint sourcePoint, int premultiply) {
  VYR_ASSERT_MSG(premultiply == kPremultiplyNone || premultiply == kPremultiplyDiv255 ||
                     premultiply == kPremultiplyShr8,
                 "Invalid APremultiply parameter Value");
  const TPixelChannel* alpha = format_->Channel(TChannelCode::A);
  if (!alpha || BytesPerPixel() != 4 || alpha->bits != 8) premultiply = kPremultiplyNone;

  // Clip against this bitmap, then the source area against the source.
  int64_t l = dest.left, t = dest.top, sx = sourcePoint.x, sy = sourcePoint.y;
  if (l < 0) sx -= l, l = 0;
  if (t < 0) sy -= t, t = 0;
  int64_t r = std::min<int64_t>(dest.right, width_), b = std::min<int64_t>(dest.bottom, height_);
  if (sx < 0) l -= sx, sx = 0;
  if (sy < 0) t -= sy, sy = 0;
  const int64_t w = std::min(r - l, int64_t{source.Width()} - sx);
  const int64_t h = std::min(b - t, int64_t{source.Height()} - sy);
  if (w <= 0 || h <= 0) return;

  const TPixelConverter* converter =
      source.Format() == format_ ? nullptr : GetPixelConverter(source.Format(), format_);
  const size_t inSize = source.BytesPerPixel(), outSize = BytesPerPixel();
  for (int64_t row = 0; row < h; ++row) {
    if (!ReportProgress(static_cast<float>(row) / static_cast<float>(h))) return;
    const uint8_t* in = source.Row(static_cast<int32_t>(sy + row)) + sx * inSize;
    uint8_t* out = Row(static_cast<int32_t>(t + row)) + l * outSize;
    if (converter)
      converter->Convert(out, in, static_cast<int>(w));
    else
      std::memmove(out, in, w * outSize);
    if (premultiply != kPremultiplyNone)
      PremultiplyRow(out, static_cast<int>(w), alpha->shift / 8, premultiply);
  }
  ReportProgress(1.0f);
}

void TBitmap::FillRect(TRect rect, uint32_t color) {
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  rect.right = std::min(rect.right, width_);
  rect.bottom = std::min(rect.bottom, height_);
  if (rect.Empty()) return;
  const uint8_t argb[4] = {static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
                           static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 24)};
  const size_t size = BytesPerPixel();
  constexpr size_t kPatternBytes = 3072;
  uint8_t pattern[kPatternBytes];
  GetPixelConverter(pf::A8R8G8B8(), format_)->Convert(pattern, argb, 1);
  size_t filled = size;
  while (filled * 2 <= kPatternBytes) {
    std::memcpy(pattern + filled, pattern, filled);
    filled *= 2;
  }
  filled -= filled % size;
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * size;
  const int rows = rect.Height();
  for (int y = 0; y < rows; ++y) {
    if (!ReportProgress(static_cast<float>(y) / static_cast<float>(rows))) return;
    uint8_t* out = Row(rect.top + y) + rect.left * size;
    for (size_t done = 0; done < rowBytes;) {
      const size_t piece = std::min(filled, rowBytes - done);
      std::memcpy(out + done, pattern, piece);
      done += piece;
    }
  }
  ReportProgress(1.0f);
}

TDirectBitmap::TDirectBitmap(int32_t width, int32_t height, const TPixelFormat* format)
    : TBitmap(width, height, format) {
  VYR_ASSERT_MSG(width > 0 && height > 0, "TDirectBitmap.Create - Invalid Size");
  VYR_ASSERT_MSG(format != nullptr, "TDirectBitmap.Create - Format not Assigned");
  const size_t bytes = RowBytes() * static_cast<size_t>(height);
  pixels_ = std::unique_ptr<uint8_t, TFree>(AllocatePixels(bytes), TFree{bytes});
  if (!pixels_) throw std::bad_alloc();
}

void TDirectBitmap::TFree::operator()(uint8_t* p) const { FreePixels(p, bytes); }

TSysBitmap::TSysBitmap(int32_t width, int32_t height, const TPixelFormat* format, TScanLines rows)
    : TBitmap(width, height, format), rows_(std::move(rows)) {
  VYR_ASSERT_MSG(format != nullptr, "TSysBitmap.Create - Format not Assigned");
  VYR_ASSERT_MSG(static_cast<int64_t>(rows_.size()) == height,
                 "TSysBitmap.Create - ScanLines Count <> Height");
}

TRefBitmap::TRefBitmap(int32_t width, int32_t height, const TPixelFormat* format, TScanLines rows,
                       TRef<TRefObject> owner)
    : TSysBitmap(width, height, format, std::move(rows)), owner_(std::move(owner)) {}

TRefBitmap::TRefBitmap(TSysBitmap& source, TRect rect)
    : TSysBitmap(0, 0, source.Format()), owner_(TRef<TRefObject>::Share(&source)) {
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  rect.right = std::min(rect.right, source.Width());
  rect.bottom = std::min(rect.bottom, source.Height());
  VYR_ASSERT_MSG(!rect.Empty(), "TRefBitmap.Create - Bitmap is Empty");
  width_ = rect.Width();
  height_ = rect.Height();
  const size_t skip = static_cast<size_t>(rect.left) * source.BytesPerPixel();
  for (int32_t y = rect.top; y < rect.bottom; ++y) rows_.push_back(source.Row(y) + skip);
}

TSysDirectWrapper::TSysDirectWrapper(TDirectBitmap* bitmap, bool owns)
    : TSysBitmap(0, 0, bitmap ? bitmap->Format() : nullptr), inner_(bitmap) {
  VYR_ASSERT_MSG(bitmap != nullptr, "TSysDirectWrapper.Create - Bitmap not Assigned");
  VYR_ASSERT_MSG(bitmap->Width() > 0 && bitmap->Height() > 0,
                 "TSysDirectWrapper.Create - Bitmap is Empty");
  if (owns) owned_ = TRef<TDirectBitmap>::Share(bitmap);
  width_ = bitmap->Width();
  height_ = bitmap->Height();
  rows_.reserve(height_);
  for (int32_t y = 0; y < height_; ++y) rows_.push_back(bitmap->Row(y));
}

}  // namespace vyr

#pragma once
// The bitmap family: every picture in the program is one of these, with a named pixel format.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/ref_object.h"
#include "imaging/bitmap/pixel_format.h"

namespace vyr {

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// Left and top inclusive, right and bottom exclusive.
struct TRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

// Reports the fraction 0..1 done; false asks to stop.
using TProgressCallback = std::function<bool(float)>;

// The classes a caller may ask for; a class also accepts its descendants.
enum class TBitmapClass {
  Any,  // no class given
  Bitmap,
  DirectBitmap,
  SysBitmap,
  RefBitmap,
  CropBitmap,
  SysDirectWrapper,
};

// Premultiply modes of CopyRect.
enum : int { kPremultiplyNone = 0, kPremultiplyDiv255 = 255, kPremultiplyShr8 = 256 };

// Whether child is ancestor or one of its descendants; every class inherits Any.
bool ClassInherits(TBitmapClass child, TBitmapClass ancestor);

class TBitmap : public TRefObject {
 public:
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  const TPixelFormat* Format() const { return format_; }
  int BytesPerPixel() const { return format_->BytesPerPixel(); }
  size_t RowBytes() const { return static_cast<size_t>(width_) * format_->BytesPerPixel(); }

  const TProgressCallback& Progress() const { return progress_; }
  void SetProgress(TProgressCallback progress) { progress_ = std::move(progress); }
  // Calls the progress callback; true (go on) when there is none.
  bool ReportProgress(float done) const { return !progress_ || progress_(done); }

  // Row y's first pixel.
  virtual uint8_t* Row(int32_t y) = 0;
  virtual const uint8_t* Row(int32_t y) const = 0;

  // The most derived class of this bitmap.
  virtual TBitmapClass Class() const = 0;
  // Whether this bitmap is of that class or a descendant (Any matches every bitmap).
  bool IsKindOf(TBitmapClass cls) const { return ClassInherits(Class(), cls); }

  // A new bitmap of the same class and format with the pixels copied.
  virtual TRef<TBitmap> Clone() const;

  // Copies up to count pixels of row y from column x into buffer[offset..]; buffer holds
  // bufferHigh + 1 pixels. Returns the bytes copied.
  int GetPixels(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x, int offset) const;
  // Typed row reads: the format's pixel size must be 1, 2, 3 or 4 bytes.
  int GetPixels8(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                 int offset) const;
  int GetPixels16(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                  int offset) const;
  int GetPixels24(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                  int offset) const;
  int GetPixels32(uint8_t* buffer, int bufferHigh, int count, int32_t y, int32_t x,
                  int offset) const;

  // Copies the source area starting at sourcePoint into dest (a rectangle of this bitmap),
  // converting the format and premultiplying as asked; both areas are clipped.
  void CopyRect(TRect dest, const TBitmap& source, TPoint sourcePoint,
                int premultiply = kPremultiplyNone);
  // Fills a rectangle with a colour 0xAARRGGBB.
  void FillRect(TRect rect, uint32_t color);

 protected:
  TBitmap(int32_t width, int32_t height, const TPixelFormat* format)
      : width_(width), height_(height), format_(format) {}
  int GetTypedPixels(int size, const char* name, uint8_t* buffer, int bufferHigh, int count,
                     int32_t y, int32_t x, int offset) const;

  int32_t width_;
  int32_t height_;
  const TPixelFormat* format_;
  TProgressCallback progress_;
};

// Owns its pixels.
class TDirectBitmap : public TBitmap {
 public:
  TDirectBitmap(int32_t width, int32_t height, const TPixelFormat* format);
  uint8_t* Row(int32_t y) override { return pixels_.get() + y * RowBytes(); }
  const uint8_t* Row(int32_t y) const override { return pixels_.get() + y * RowBytes(); }
  TBitmapClass Class() const override { return TBitmapClass::DirectBitmap; }

 private:
  struct TFree {
    size_t bytes;
    void operator()(uint8_t* p) const;
  };
  // Zeroed when made: large blocks come as fresh zero pages.
  std::unique_ptr<uint8_t, TFree> pixels_;
};

using TScanLines = std::vector<uint8_t*>;

// Rows that live elsewhere, reached through a table of row pointers.
class TSysBitmap : public TBitmap {
 public:
  TSysBitmap(int32_t width, int32_t height, const TPixelFormat* format, TScanLines rows);
  uint8_t* Row(int32_t y) override { return rows_[y]; }
  const uint8_t* Row(int32_t y) const override { return rows_[y]; }
  TBitmapClass Class() const override { return TBitmapClass::SysBitmap; }
  const TScanLines& ScanLines() const { return rows_; }

 protected:
  TSysBitmap(int32_t width, int32_t height, const TPixelFormat* format)
      : TBitmap(width, height, format) {}
  TScanLines rows_;
};

// A TSysBitmap that keeps the owner of its rows alive.
class TRefBitmap : public TSysBitmap {
 public:
  TRefBitmap(int32_t width, int32_t height, const TPixelFormat* format, TScanLines rows,
             TRef<TRefObject> owner);
  // A view of a rectangle of another bitmap (clipped to it; empty is an assertion).
  TRefBitmap(TSysBitmap& source, TRect rect);
  TBitmapClass Class() const override { return TBitmapClass::RefBitmap; }

 private:
  TRef<TRefObject> owner_;
};

class TCropBitmap : public TRefBitmap {
 public:
  TCropBitmap(TSysBitmap& source, TRect rect) : TRefBitmap(source, rect) {}
  TBitmapClass Class() const override { return TBitmapClass::CropBitmap; }
};

// Row pointers into a TDirectBitmap, optionally keeping a reference to it.
class TSysDirectWrapper : public TSysBitmap {
 public:
  TSysDirectWrapper(TDirectBitmap* bitmap, bool owns);
  TBitmapClass Class() const override { return TBitmapClass::SysDirectWrapper; }
  TDirectBitmap* Inner() const { return inner_; }

 private:
  TDirectBitmap* inner_;
  TRef<TDirectBitmap> owned_;
};

}  // namespace vyr

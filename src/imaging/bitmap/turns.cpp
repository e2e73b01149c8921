#include "imaging/bitmap/turns.h"

#include <algorithm>
#include <cstring>

#include "imaging/bitmap/bitmap_factory.h"

namespace vyr {

namespace {

template <int N>
void TurnHalfInPlace(TBitmap& b) {
  const int32_t w = b.Width(), h = b.Height();
  for (int32_t y = 0; y < (h + 1) / 2; ++y) {
    uint8_t* top = b.Row(y);
    uint8_t* bottom = b.Row(h - 1 - y);
    const int32_t count = (y == h - 1 - y) ? w / 2 : w;
    for (int32_t x = 0; x < count; ++x) {
      uint8_t tmp[N];
      uint8_t* p = top + x * N;
      uint8_t* q = bottom + (w - 1 - x) * N;
      std::memcpy(tmp, p, N);
      std::memcpy(p, q, N);
      std::memcpy(q, tmp, N);
    }
  }
}

template <int N>
void TurnQuarter(const TBitmap& in, TBitmap& out, bool clockwise) {
  const int32_t w = in.Width(), h = in.Height();
  for (int32_t y = 0; y < out.Height(); ++y) {
    uint8_t* row = out.Row(y);
    for (int32_t x = 0; x < out.Width(); ++x) {
      const uint8_t* from = clockwise ? in.Row(h - 1 - x) + y * N : in.Row(x) + (w - 1 - y) * N;
      std::memcpy(row + x * N, from, N);
    }
  }
}

}  // namespace

TRef<TBitmap> TurnBitmap(TRef<TBitmap> bitmap, bool owned, const TPixelFormat* pictureFormat,
                         TTurn turn) {
  const TPixelFormat* work =
      pictureFormat && pictureFormat->HasAlpha() ? pf::A8R8G8B8() : pf::R8G8B8();
  if (!owned || bitmap->Format() != work || !bitmap->IsKindOf(TBitmapClass::SysBitmap))
    bitmap = CreateBitmap(bitmap->Width(), bitmap->Height(), work, bitmap->Progress(), bitmap.Get(),
                          TBitmapClass::SysBitmap);
  const bool alpha = work->BytesPerPixel() == 4;
  if (turn == TTurn::Half) {
    if (alpha)
      TurnHalfInPlace<4>(*bitmap);
    else
      TurnHalfInPlace<3>(*bitmap);
    return bitmap;
  }
  TRef<TBitmap> turned = CreateBitmap(bitmap->Height(), bitmap->Width(), work, bitmap->Progress(),
                                      nullptr, TBitmapClass::SysBitmap);
  const bool clockwise = turn == TTurn::Clockwise;
  if (alpha)
    TurnQuarter<4>(*bitmap, *turned, clockwise);
  else
    TurnQuarter<3>(*bitmap, *turned, clockwise);
  return turned;
}

TRotationHook MakeTurnHook(TTurn turn) {
  return TRotationHook(
      [turn](TRef<TBitmap> bitmap, bool owned, const TPixelFormat* format) {
        return TurnBitmap(std::move(bitmap), owned, format, turn);
      },
      turn != TTurn::Half);
}

}  // namespace vyr

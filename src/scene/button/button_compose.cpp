#include "scene/button/button_compose.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "imaging/bitmap/bitmap_factory.h"
#include "scene/filters/colour_filters.h"

namespace vyr {

namespace {

TRect ToRect(const TIntRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Copies the piece's rect so that its top-left lands at (x, y); clipped on both sides.
void CopyBlock(const TBitmap& piece, const TIntRect& rect, TBitmap& target, int x, int y) {
  const TRect clipped = ToRect(Intersect(rect, {0, 0, piece.Width(), piece.Height()}));
  if (clipped.Empty()) return;
  x += clipped.left - rect.left;
  y += clipped.top - rect.top;
  target.CopyRect({x, y, x + clipped.Width(), y + clipped.Height()}, piece,
                  {clipped.left, clipped.top});
}

// Target columns x0..x1-1 of rows y..y+count-1 repeat the piece's column at pieceX, rows
// pieceY.., as far as both bitmaps reach.
void RepeatColumn(const TBitmap& piece, int pieceX, int pieceY, int count, TBitmap& target, int x0,
                  int x1, int y) {
  if (pieceX < 0 || pieceX >= piece.Width()) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, target.Width());
  if (x0 >= x1) return;
  for (int i = 0; i < count; ++i) {
    const int py = pieceY + i, ty = y + i;
    if (py < 0 || py >= piece.Height() || ty < 0 || ty >= target.Height()) continue;
    const uint32_t px = reinterpret_cast<const uint32_t*>(piece.Row(py))[pieceX];
    auto* out = reinterpret_cast<uint32_t*>(target.Row(ty));
    std::fill(out + x0, out + x1, px);
  }
}

}  // namespace

int ComposedButtonWidth(const TButtonTheme& theme, int state, int width) {
  const TIntRect& right =
      theme.Piece(std::clamp(state, 0, kButtonStateCount - 1), kPieceRight).rect;
  if (width < right.Width()) width = std::max(theme.referenceWidth, right.Width());
  const int64_t byArea = kMaxButtonPixels / std::max(theme.referenceHeight, 1);
  return static_cast<int>(
      std::clamp<int64_t>(width, 1, std::clamp<int64_t>(byArea, 1, kMaxButtonWidth)));
}

TButtonComposition ComposeButton(const TButtonTheme& theme, int state, int width,
                                 const TButtonPieceSource& pieces, const TButtonGoOn& goOn) {
  TButtonComposition result;
  state = std::clamp(state, 0, kButtonStateCount - 1);
  const int h = theme.referenceHeight;
  const int w = ComposedButtonWidth(theme, state, width);
  const auto& entry = theme.pieces[state];
  const TIntRect& left = entry[kPieceLeft].rect;
  const TIntRect& right = entry[kPieceRight].rect;
  const TIntRect& top = entry[kPieceTop].rect;
  const TIntRect& bottom = entry[kPieceBottom].rect;
  const int cl = left.right, cr = w - right.Width();
  const int ct = top.bottom, cb = h - bottom.Height();

  static constexpr int kOrder[kPieceKindCount] = {
      kPieceCenter,  kPieceTop,      kPieceBottom,      kPieceLeft,      kPieceRight,
      kPieceLeftTop, kPieceRightTop, kPieceRightBottom, kPieceLeftBottom};
  // Every piece is checked before the picture is made, so a wrong theme costs no memory.
  std::array<TRef<TBitmap>, kPieceKindCount> bitmaps;
  for (int kind : kOrder) {
    const TButtonPiece& piece = entry[kind];
    TRef<TImage> image = pieces ? pieces(piece.fileName) : nullptr;
    if (image && h > 0 && image->Width() == theme.referenceWidth && image->Height() == h)
      bitmaps[kind] = image->Store().GetMipLevel(0, pf::A8R8G8B8());
    if (!bitmaps[kind]) {
      result.badPiece = piece.fileName;
      return result;
    }
  }

  TRef<TBitmap> target = CreateSysBitmap(w, h, pf::A8R8G8B8());
  for (int kind : kOrder) {
    const TButtonPiece& piece = entry[kind];
    const TBitmap& p = *bitmaps[kind];
    const TIntRect& r = piece.rect;
    switch (kind) {
      case kPieceCenter:
        RepeatColumn(p, r.left, ct, cb - ct, *target, cl, cr, ct);
        break;
      case kPieceTop:
        RepeatColumn(p, r.left, r.top, r.Height(), *target, cl, cr, r.top);
        break;
      case kPieceBottom:
        RepeatColumn(p, r.left, r.top, r.Height(), *target, cl, cr, cb);
        break;
      case kPieceLeft:
        CopyBlock(p, {r.left, ct, r.right, cb}, *target, r.left, ct);
        break;
      case kPieceRight:
        CopyBlock(p, {r.left, ct, r.right, cb}, *target, cr, ct);
        break;
      case kPieceLeftTop:
        CopyBlock(p, r, *target, r.left, r.top);
        break;
      case kPieceRightTop:
        CopyBlock(p, r, *target, cr, r.top);
        break;
      case kPieceRightBottom:
        CopyBlock(p, r, *target, cr, cb);
        break;
      case kPieceLeftBottom:
        CopyBlock(p, r, *target, r.left, cb);
        break;
    }
    if (goOn && !goOn()) break;
  }
  result.bitmap = std::move(target);
  return result;
}

void ShiftButtonColours(TBitmap& bitmap, int hue, int saturation, int lightness,
                        const TButtonGoOn& goOn) {
  if (hue == 0 && saturation == 0 && lightness == 0) return;
  // Truncating toward zero; a hue of whole turns wraps to no shift.
  const double hueShift = static_cast<double>(int64_t{hue} * 256 / 360 % 256);
  const double saturationShift = static_cast<double>(int64_t{saturation} * 256 / 100);
  const double lightnessShift = static_cast<double>(int64_t{lightness} * 256 / 100);
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    auto* px = reinterpret_cast<uint32_t*>(bitmap.Row(y));
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      const uint32_t c = px[x];
      double h, s, l;
      THSLGenerator::RgbToHsl((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, h, s, l);
      h += hueShift;
      if (h < 0) h += 256;
      if (h >= 256) h -= 256;
      s = std::clamp(s + saturationShift, 0.0, 255.0);
      l = std::clamp(l + lightnessShift, 0.0, 255.0);
      int r, g, b;
      THSLGenerator::HslToRgb(h, s, l, r, g, b);
      px[x] = (c & 0xFF000000u) | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
              static_cast<uint32_t>(b);
    }
    if (goOn && !goOn()) break;
  }
}

}  // namespace vyr

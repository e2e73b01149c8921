#include "player/overlay/nine_patch.h"

#include <algorithm>

#include "imaging/bitmap/colour.h"
#include "player/overlay/bar_pixels.h"

namespace vyr {

namespace {

// A part whose pixels all share one colour (the colour), or nothing.
bool SingleColour(const TBitmap& picture, const TRect& r, uint32_t& colour) {
  colour = BarRow(picture, r.top)[r.left];
  for (int y = r.top; y < r.bottom; ++y) {
    const uint32_t* row = BarRow(picture, y);
    for (int x = r.left; x < r.right; ++x)
      if (row[x] != colour) return false;
  }
  return true;
}

void BlendPart(TBitmap& target, const TRect& dst, const TBitmap& source, const TRect& src,
               const TRect& clip) {
  const TRect inside{std::max(dst.left, clip.left), std::max(dst.top, clip.top),
                     std::min(dst.right, clip.right), std::min(dst.bottom, clip.bottom)};
  if (inside.Empty() || src.Empty()) return;
  TRef<TBitmap> part;
  TRect from = src;
  if (dst.Width() != src.Width() || dst.Height() != src.Height()) {
    part = ScaleBarArea(source, src, dst.Width(), dst.Height());
    from = TRect{0, 0, dst.Width(), dst.Height()};
  }
  const TBitmap& pixels = part ? *part : source;
  for (int y = inside.top; y < inside.bottom; ++y) {
    const uint32_t* in = BarRow(pixels, from.top + y - dst.top) + from.left - dst.left;
    uint32_t* out = BarRow(target, y);
    for (int x = inside.left; x < inside.right; ++x) out[x] = BlendOver(in[x], out[x]);
  }
}

}  // namespace

void NinePatchSplits(int start, int end, int first, int second, int out[4]) {
  out[0] = start;
  out[3] = end;
  if (end - start < first + second) {
    const int meet = std::clamp((start + end + first - second) / 2, start, end);
    out[1] = out[2] = meet;
  } else {
    out[1] = start + first;
    out[2] = end - second;
  }
}

void TNinePatch::Draw(TBitmap& target, const TRect& rect) const {
  if (!picture || rect.Empty()) return;
  const int w = picture->Width(), h = picture->Height();
  const int l = std::clamp(left, 0, w), r = std::clamp(right, 0, w - l);
  const int t = std::clamp(top, 0, h), b = std::clamp(bottom, 0, h - t);
  const int sx[4] = {0, l, w - r, w}, sy[4] = {0, t, h - b, h};
  int dx[4], dy[4];
  NinePatchSplits(rect.left, rect.right, l, r, dx);
  NinePatchSplits(rect.top, rect.bottom, t, b, dy);
  const TRect clip{0, 0, target.Width(), target.Height()};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      const TRect src{sx[i], sy[j], sx[i + 1], sy[j + 1]};
      const TRect dst{dx[i], dy[j], dx[i + 1], dy[j + 1]};
      if (src.Empty() || dst.Empty()) continue;
      uint32_t colour = 0;
      if (i == 1 && j == 1 && SingleColour(*picture, src, colour)) {
        const TRect inside{std::max(dst.left, 0), std::max(dst.top, 0),
                           std::min(dst.right, clip.right), std::min(dst.bottom, clip.bottom)};
        for (int y = inside.top; y < inside.bottom; ++y) {
          uint32_t* out = BarRow(target, y);
          for (int x = inside.left; x < inside.right; ++x) out[x] = BlendOver(colour, out[x]);
        }
        continue;
      }
      BlendPart(target, dst, *picture, src, clip);
    }
}

}  // namespace vyr

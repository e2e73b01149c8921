#include "player/overlay/bar_pixels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "imaging/bitmap/colour.h"
#include "imaging/bitmap/pixel_format.h"

namespace vyr {

namespace {

struct TBlendFactors {
  uint8_t alpha;    // A
  uint8_t weight;   // w: the destination's weight
  uint32_t factor;  // k
};

// Built once, on first use: 256 x 256 entries indexed by source and destination alpha.
const std::array<TBlendFactors, 65536>& BlendTable() {
  static const auto table = [] {
    auto t = std::make_unique<std::array<TBlendFactors, 65536>>();
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) {
        TBlendFactors& f = (*t)[static_cast<size_t>(a * 256 + b)];
        const int alpha = 255 - (255 - a) * (255 - b) / 255;
        f.alpha = static_cast<uint8_t>(alpha);
        f.weight = static_cast<uint8_t>(b * (255 - a) / 255);
        uint32_t k = alpha > 0 ? static_cast<uint32_t>(std::nearbyint(1048576.0 / alpha)) : 0;
        if (k == 4112) k = 4113;
        f.factor = k;
      }
    return t;
  }();
  return *table;
}

TRect Clip(int& x, int& y, const TBitmap& dest, const TBitmap& source, TRect src) {
  src.left = std::max(src.left, 0);
  src.top = std::max(src.top, 0);
  src.right = std::min(src.right, source.Width());
  src.bottom = std::min(src.bottom, source.Height());
  // Shifts of the destination position clip the source likewise.
  if (x < 0) {
    src.left -= x;
    x = 0;
  }
  if (y < 0) {
    src.top -= y;
    y = 0;
  }
  src.right = std::min(src.right, src.left + (dest.Width() - x));
  src.bottom = std::min(src.bottom, src.top + (dest.Height() - y));
  return src;
}

}  // namespace

uint32_t CompositeBarPixel(uint32_t s, uint32_t d) {
  const uint32_t a = ColorA(s), b = ColorA(d);
  if (a == 0) return d;
  if (a == 255 || b == 0) return s;
  const TBlendFactors& f = BlendTable()[a * 256 + b];
  auto channel = [&](uint32_t sc, uint32_t dc) {
    const uint64_t sum = uint64_t{f.weight} * dc + uint64_t{a} * sc;
    return static_cast<uint8_t>(std::min<uint64_t>((sum * f.factor) >> 20, 255));
  };
  return PackColor(channel(ColorR(s), ColorR(d)), channel(ColorG(s), ColorG(d)),
                   channel(ColorB(s), ColorB(d)), f.alpha);
}

void CompositeBarArea(TBitmap& dest, int x, int y, const TBitmap& source, const TRect& srcRect) {
  const TRect src = Clip(x, y, dest, source, srcRect);
  if (src.Empty()) return;
  for (int row = src.top; row < src.bottom; ++row) {
    const uint32_t* in = BarRow(source, row) + src.left;
    uint32_t* out = BarRow(dest, y + row - src.top) + x;
    for (int i = 0; i < src.Width(); ++i) out[i] = CompositeBarPixel(in[i], out[i]);
  }
}

void CopyBarArea(TBitmap& dest, int x, int y, const TBitmap& source, const TRect& srcRect) {
  const TRect src = Clip(x, y, dest, source, srcRect);
  if (src.Empty()) return;
  for (int row = src.top; row < src.bottom; ++row)
    std::copy_n(BarRow(source, row) + src.left, src.Width(), BarRow(dest, y + row - src.top) + x);
}

uint32_t GreyPixel(uint32_t p) {
  const auto grey = static_cast<uint8_t>((ColorR(p) + ColorG(p) + ColorB(p)) / 3);
  return PackColor(grey, grey, grey, ColorA(p));
}

uint32_t DisabledPixel(uint32_t p) { return WithAlpha(GreyPixel(p), ColorA(p) >> 2); }

uint32_t ShiftPixelHue(uint32_t p, int degrees) {
  const int r = ColorR(p), g = ColorG(p), b = ColorB(p);
  const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const double lightness = (mx + mn) / 2.0;
  double saturation = 0;
  if (mx != mn)
    saturation =
        lightness < 128 ? (mx - mn) * 255.0 / (mx + mn) : (mx - mn) * 255.0 / (511 - mx - mn);
  double hue = 0;
  if (mx != mn) {
    const double d = mx - mn;
    if (mx == r)
      hue = (g - b) / d;
    else if (mx == g)
      hue = (b - r) / d + 2;
    else
      hue = (r - g) / d + 4;
    hue *= 42.5;
    while (hue < 0) hue += 255;
    while (hue > 255) hue -= 255;
  }
  int h = static_cast<int>(std::nearbyint(hue)) + degrees * 256 / 360;
  while (h > 255) h -= 256;
  while (h < 0) h += 256;
  // Back through the same model.
  const double chroma =
      lightness < 128 ? saturation * 2 * lightness / 255 : saturation * (511 - 2 * lightness) / 255;
  const double low = lightness - chroma / 2;
  double sector = std::fmod(h / 42.5, 6.0);
  const double x = chroma * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
  double rr = 0, gg = 0, bb = 0;
  switch (static_cast<int>(sector)) {
    case 0:
      rr = chroma, gg = x;
      break;
    case 1:
      rr = x, gg = chroma;
      break;
    case 2:
      gg = chroma, bb = x;
      break;
    case 3:
      gg = x, bb = chroma;
      break;
    case 4:
      rr = x, bb = chroma;
      break;
    default:
      rr = chroma, bb = x;
      break;
  }
  auto level = [low](double v) {
    return static_cast<uint8_t>(std::clamp(std::nearbyint(v + low), 0.0, 255.0));
  };
  return PackColor(level(rr), level(gg), level(bb), ColorA(p));
}

void ShiftAreaHue(TBitmap& picture, const TRect& rect, int degrees,
                  const std::function<bool()>& goOn) {
  const int left = std::max(rect.left, 0), right = std::min(rect.right, picture.Width());
  const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, picture.Height());
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = BarRow(picture, y);
    for (int x = left; x < right; ++x) row[x] = ShiftPixelHue(row[x], degrees);
    if (goOn && !goOn()) return;
  }
}

TRef<TDirectBitmap> ScaleBarArea(const TBitmap& source, const TRect& srcRect, int width,
                                 int height) {
  width = std::clamp(width, 1, kMaxBarSide);
  height = std::clamp(height, 1, kMaxBarSide);
  auto out = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  TRect src = srcRect;
  src.left = std::clamp(src.left, 0, source.Width());
  src.right = std::clamp(src.right, src.left, source.Width());
  src.top = std::clamp(src.top, 0, source.Height());
  src.bottom = std::clamp(src.bottom, src.top, source.Height());
  if (src.Empty()) return out;
  const double fx = static_cast<double>(src.Width()) / width;
  const double fy = static_cast<double>(src.Height()) / height;
  for (int y = 0; y < height; ++y) {
    const double sy = std::clamp((y + 0.5) * fy - 0.5, 0.0, src.Height() - 1.0);
    const int y0 = static_cast<int>(sy), y1 = std::min(y0 + 1, src.Height() - 1);
    const double wy = sy - y0;
    const uint32_t* r0 = BarRow(source, src.top + y0) + src.left;
    const uint32_t* r1 = BarRow(source, src.top + y1) + src.left;
    uint32_t* row = BarRow(*out, y);
    for (int x = 0; x < width; ++x) {
      const double sx = std::clamp((x + 0.5) * fx - 0.5, 0.0, src.Width() - 1.0);
      const int x0 = static_cast<int>(sx), x1 = std::min(x0 + 1, src.Width() - 1);
      const double wx = sx - x0;
      const uint32_t px[4] = {r0[x0], r0[x1], r1[x0], r1[x1]};
      const double w[4] = {(1 - wx) * (1 - wy), wx * (1 - wy), (1 - wx) * wy, wx * wy};
      double a = 0, r = 0, g = 0, b = 0;
      for (int i = 0; i < 4; ++i) {
        const double pa = ColorA(px[i]) * w[i];
        a += pa;
        r += ColorR(px[i]) * pa;
        g += ColorG(px[i]) * pa;
        b += ColorB(px[i]) * pa;
      }
      if (a <= 0) {
        row[x] = 0;
        continue;
      }
      auto c = [a](double v) {
        return static_cast<uint8_t>(std::clamp(std::nearbyint(v / a), 0.0, 255.0));
      };
      row[x] = PackColor(c(r), c(g), c(b),
                         static_cast<uint8_t>(std::clamp(std::nearbyint(a), 0.0, 255.0)));
    }
  }
  return out;
}

TRef<TDirectBitmap> CutBarArea(const TBitmap& source, const TRect& srcRect) {
  // Pixels outside the source are transparent: the cut-out never grows beyond it.
  const int w = std::clamp(std::min(srcRect.right, source.Width()) - srcRect.left, 1,
                           std::max(1, source.Width()));
  const int h = std::clamp(std::min(srcRect.bottom, source.Height()) - srcRect.top, 1,
                           std::max(1, source.Height()));
  auto out = MakeRef<TDirectBitmap>(w, h, pf::A8R8G8B8());
  CopyBarArea(*out, 0, 0, source, srcRect);
  return out;
}

}  // namespace vyr

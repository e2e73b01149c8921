#include "imaging/text/text_producer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/bitmap/colour.h"
#include "imaging/text/raster_helper.h"

namespace vyr {

namespace {

// Ink extent of a line relative to its start and baseline, in font units.
struct TInk {
  double left = 0, right = 0, top = 0, bottom = 0;
  bool any = false;
};

double LineAdvance(const TVectorLine& line) {
  double advance = 0;
  for (const TVectorGlyph& g : line.glyphs) {
    const double k = g.UnitScale();
    const double width = g.glyph ? (double(g.glyph->a) + g.glyph->b + g.glyph->c) * k : 0;
    advance = std::max(advance, g.x + width);
  }
  return advance;
}

TInk LineInk(const TVectorLine& line) {
  TInk ink;
  for (const TVectorGlyph& g : line.glyphs) {
    if (!g.glyph || g.glyph->path.empty()) continue;
    const double k = g.UnitScale();
    const double left = g.x + g.glyph->a * k, right = g.x + (double(g.glyph->a) + g.glyph->b) * k;
    const double top = g.glyph->ascent * k, bottom = g.glyph->descent * k;
    if (!ink.any) {
      ink = {left, right, top, bottom, true};
      continue;
    }
    ink.left = std::min(ink.left, left);
    ink.right = std::max(ink.right, right);
    ink.top = std::max(ink.top, top);
    ink.bottom = std::max(ink.bottom, bottom);
  }
  return ink;
}

int32_t ClampSide(double v) {
  if (!(v == v)) return 1;
  return static_cast<int32_t>(std::clamp(v, 1.0, 2147483647.0));
}

double Floor(double v) { return std::floor(v); }
double Ceil(double v) { return std::ceil(v); }

}  // namespace

TTextLayout TTextProducer::Measure(const TCachedVectorText& text, const TTextRender& params) {
  TTextLayout layout;
  const double s = params.scale * params.factor;
  layout.scale = s;
  const double A = text.ascent, D = text.descent;
  double W = 0, L = 0, R = 0, T = s * A, B = s * D;
  std::vector<double> advances, origins;
  double y = 0;
  for (size_t i = 0; i < text.lines.size(); ++i) {
    const TVectorLine& line = text.lines[i];
    const double advance = LineAdvance(line);
    advances.push_back(advance);
    W = std::max(W, Ceil(s * advance));
    if (i > 0) y += s * (A + D) + s * (A + D) * params.lineSpacing / 200;
    origins.push_back(y);
    const TInk ink = LineInk(line);
    if (!ink.any) continue;
    L = std::max(L, -ink.left * s);
    R = std::max(R, (ink.right - advance) * s);
    T = std::max(T, ink.top * s);
    B = std::max(B, ink.bottom * s);
  }
  const double total = text.lines.empty() ? 0 : y + s * (A + D);
  const double topExtra = Ceil(T - s * A), bottomExtra = Ceil(B - s * D);
  layout.textWidth = W;
  layout.width = ClampSide(Ceil(L) + std::round(W) + Ceil(R) + 2);
  layout.height = ClampSide(topExtra + std::round(total) + bottomExtra + 2);

  for (size_t i = 0; i < text.lines.size(); ++i) {
    TTextLayout::TLine out;
    out.advance = advances[i];
    const double boxLeft = 0, boxRight = Ceil(s * advances[i]);
    double x = params.offsetX + 1;
    if (params.alignment == 1) x = W / 2 + x - (boxLeft + boxRight) / 2;
    if (params.alignment == 2) x = W + x - boxRight;
    out.x = x + Ceil(L);
    out.baseline = origins[i] + params.offsetY + 1 + topExtra + s * A;
    const auto clampInt = [](double v) {
      return static_cast<int32_t>(std::clamp(v, -2147483647.0, 2147483647.0));
    };
    out.box = {clampInt(Floor(out.x + boxLeft)), clampInt(Floor(out.baseline + Floor(-A * s))),
               clampInt(Ceil(out.x + boxRight)), clampInt(Ceil(out.baseline + Ceil(s * D)))};
    layout.lines.push_back(out);
  }
  return layout;
}

double TTextProducer::BoundedScale(const TCachedVectorText& text, const TTextRender& params) {
  TTextRender probe = params;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const TTextLayout layout = Measure(text, probe);
    const double w = layout.width, h = layout.height;
    if (w <= kMaxTextSide && h <= kMaxTextSide && w * h <= double(kMaxTextPixels)) break;
    const double shrink =
        std::min({kMaxTextSide / w, kMaxTextSide / h, std::sqrt(double(kMaxTextPixels) / (w * h))});
    probe.scale *= shrink * 0.95;
  }
  return probe.scale;
}

TRef<TDirectBitmap> TTextProducer::Render(const TCachedVectorText& text, const TTextRender& params,
                                          TTextLayout* layoutOut) {
  TTextLayout layout = Measure(text, params);
  if (layout.width > kMaxTextSide || layout.height > kMaxTextSide ||
      int64_t{layout.width} * layout.height > kMaxTextPixels) {
    TTextRender bounded = params;
    bounded.scale = BoundedScale(text, params);
    layout = Measure(text, bounded);
  }
  const double s = layout.scale;
  TRasterHelper helper;
  helper.BeginPaint(layout.width, layout.height, params.color);
  helper.SetCancel(params.cancel);
  bool cancelled = false;
  for (size_t i = 0; i < text.lines.size() && !cancelled; ++i) {
    const TVectorLine& line = text.lines[i];
    const TTextLayout::TLine& place = layout.lines[i];
    helper.SetColor(i < params.lineColors.size() ? params.lineColors[i] : params.color);
    for (const TVectorGlyph& g : line.glyphs) {
      if (!g.glyph || g.glyph->path.empty()) continue;
      const float k = static_cast<float>(g.UnitScale() * s);
      helper.SetTransform({k, 0, 0, 0, k, 0, static_cast<float>(place.x + g.x * s),
                           static_cast<float>(place.baseline), 1});
      helper.FillPath(g.glyph->path, false);
    }
    const auto bar = [&](double position, double thickness) {
      const float x0 = float(place.x), x1 = float(place.x + place.advance * s);
      const float y0 = float(place.baseline - position * s);
      const float y1 = float(place.baseline + (thickness - position) * s);
      helper.SetTransform(kIdentityMatrix);
      helper.FillPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    };
    if (params.underline) bar(text.underlinePosition, text.underlineThickness);
    if (params.strikeOut) bar(text.strikeOutPosition, text.strikeOutThickness);
    cancelled = params.cancel && params.cancel();
  }
  TRef<TDirectBitmap> bitmap = helper.EndPaint();

  if (params.background != (params.color & 0x00FFFFFFu)) {
    for (int32_t y = 0; y < bitmap->Height(); ++y) {
      uint8_t* row = bitmap->Row(y);
      for (int32_t x = 0; x < bitmap->Width(); ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, row + size_t(x) * 4, 4);
        if (ColorA(pixel) == 255) continue;
        pixel = ColorA(pixel) == 0 ? params.background : BlendOver(pixel, params.background);
        std::memcpy(row + size_t(x) * 4, &pixel, 4);
      }
    }
  }
  if (layoutOut) *layoutOut = layout;
  return bitmap;
}

}  // namespace vyr

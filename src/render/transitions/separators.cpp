#include "render/transitions/separators.h"

#include <cmath>

namespace vyr {
namespace {

uint32_t LerpColour(uint32_t a, uint32_t b, float t) {
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const float ca = static_cast<float>((a >> shift) & 0xFF);
    const float cb = static_cast<float>((b >> shift) & 0xFF);
    result |= static_cast<uint32_t>(ColourByte(ca + (cb - ca) * t)) << shift;
  }
  return result;
}

float Coordinate(const TEffVertex& v, bool horizontal) { return horizontal ? v.sx : v.sy; }

TEffPolygon CutAt(const TEffPolygon& polygon, float at, bool keepGreater, bool horizontal) {
  TEffPolygon out;
  auto inside = [&](const TEffVertex& v) {
    const float c = Coordinate(v, horizontal);
    return keepGreater ? c >= at : c <= at;
  };
  for (int i = 0; i < polygon.count; ++i) {
    const TEffVertex& a = polygon.v[static_cast<size_t>(i)];
    const TEffVertex& b = polygon.v[static_cast<size_t>((i + 1) % polygon.count)];
    const bool aIn = inside(a), bIn = inside(b);
    if (aIn) out.Add(a);
    if (aIn != bIn) {
      const float ca = Coordinate(a, horizontal), cb = Coordinate(b, horizontal);
      out.Add(LerpVertex(a, b, (at - ca) / (cb - ca)));
    }
  }
  return out;
}

}  // namespace

TEffVertex LerpVertex(const TEffVertex& a, const TEffVertex& b, float t) {
  TEffVertex v;
  v.sx = a.sx + (b.sx - a.sx) * t;
  v.sy = a.sy + (b.sy - a.sy) * t;
  v.x = a.x + (b.x - a.x) * t;
  v.y = a.y + (b.y - a.y) * t;
  v.z = a.z + (b.z - a.z) * t;
  v.colour = LerpColour(a.colour, b.colour, t);
  return v;
}

TEffPolygon TXSeparator::Cut(const TEffPolygon& polygon, float at, bool keepGreater) {
  return CutAt(polygon, at, keepGreater, true);
}

TEffPolygon TYSeparator::Cut(const TEffPolygon& polygon, float at, bool keepGreater) {
  return CutAt(polygon, at, keepGreater, false);
}

TEffPolygon T2DSeparator::Cut(const TEffPolygon& polygon, const TIntRect& rect) {
  TEffPolygon p = TXSeparator::Cut(polygon, static_cast<float>(rect.left), true);
  p = TXSeparator::Cut(p, static_cast<float>(rect.right), false);
  p = TYSeparator::Cut(p, static_cast<float>(rect.top), true);
  return TYSeparator::Cut(p, static_cast<float>(rect.bottom), false);
}

}  // namespace vyr

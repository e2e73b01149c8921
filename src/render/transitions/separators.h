#pragma once
// Separators cut triangles at the borders of the tile renderer's tiles: each keeps the part
// of a polygon on one side of a line of slide coordinates, interpolating every attribute
// of the vertices along the cut edges.

#include <array>

#include "render/transitions/eff_tiles.h"

namespace vyr {

// A convex polygon; a triangle clipped by four lines has at most seven corners.
struct TEffPolygon {
  std::array<TEffVertex, 8> v{};
  int count = 0;
  void Add(const TEffVertex& vertex) { v[static_cast<size_t>(count++)] = vertex; }
};

// The vertex a fraction t of the way from a to b, every attribute interpolated.
TEffVertex LerpVertex(const TEffVertex& a, const TEffVertex& b, float t);

// Keeps the part with slide x >= at (keepGreater) or <= at.
class TXSeparator {
 public:
  static TEffPolygon Cut(const TEffPolygon& polygon, float at, bool keepGreater);
};

// Keeps the part with slide y >= at (keepGreater) or <= at.
class TYSeparator {
 public:
  static TEffPolygon Cut(const TEffPolygon& polygon, float at, bool keepGreater);
};

// Keeps the part inside a rectangle of slide coordinates.
class T2DSeparator {
 public:
  static TEffPolygon Cut(const TEffPolygon& polygon, const TIntRect& rect);
};

}  // namespace vyr

#pragma once
// What the tile renderer draws: vertices that pair a point of a slide's picture with a
// drawing position, and the slide's picture as one or more texture tiles.

#include <cstdint>
#include <vector>

#include "render/device/device3d.h"

namespace vyr {

struct TEffVertex {
  float sx = 0, sy = 0;          // slide coordinates: the point of the picture shown here
  float x = 0, y = 0, z = 0;     // drawing position (z into the screen)
  uint32_t colour = 0xFFFFFFFF;  // ARGB, modulates the picture
};

// A vertex of a flat filter: drawn where it lies on the slide (shifted by dx, dy), white
// with the given alpha.
TEffVertex FlatVertex(float x, float y, float alpha, float dx = 0, float dy = 0);
// ARGB of a grey level (0..255) at full opacity.
uint32_t GreyColour(int level);
// Byte of a value 0..255, rounded and clamped.
uint8_t ColourByte(double value);

// A texture showing a rectangle of the slide: texture coordinates (u0, v0) at the area's
// top-left corner and (u1, v1) at its bottom-right corner.
struct TEffTile {
  T3DTexture* texture = nullptr;
  TIntRect area;
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

// A slide's picture split into tiles (`TMultiTile`). The textures belong to the caller and
// must live while the picture is drawn.
class TMultiTile {
 public:
  TMultiTile() = default;
  // One texture over the whole area; (u1, v1) is where the area's bottom-right corner lies
  // in the texture (below 1 for a picture inside a larger power-of-two texture).
  static TMultiTile Single(T3DTexture* texture, const TIntRect& area, float u1 = 1, float v1 = 1);
  void Add(const TEffTile& tile) { tiles_.push_back(tile); }
  const std::vector<TEffTile>& Tiles() const { return tiles_; }
  bool Empty() const { return tiles_.empty(); }
  // The smallest rectangle holding every tile's area.
  TIntRect Bounds() const;

 private:
  std::vector<TEffTile> tiles_;
};

}  // namespace vyr

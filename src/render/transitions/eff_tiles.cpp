#include "render/transitions/eff_tiles.h"

#include <algorithm>
#include <cmath>

namespace vyr {

uint8_t ColourByte(double value) {
  return static_cast<uint8_t>(std::clamp(std::lround(value), 0l, 255l));
}

TEffVertex FlatVertex(float x, float y, float alpha, float dx, float dy) {
  TEffVertex v;
  v.sx = x;
  v.sy = y;
  v.x = x + dx;
  v.y = y + dy;
  v.colour = (static_cast<uint32_t>(ColourByte(alpha)) << 24) | 0xFFFFFFu;
  return v;
}

uint32_t GreyColour(int level) {
  const uint32_t g = ColourByte(level);
  return 0xFF000000u | g << 16 | g << 8 | g;
}

TMultiTile TMultiTile::Single(T3DTexture* texture, const TIntRect& area, float u1, float v1) {
  TMultiTile tiles;
  tiles.Add(TEffTile{texture, area, 0, 0, u1, v1});
  return tiles;
}

TIntRect TMultiTile::Bounds() const {
  if (tiles_.empty()) return TIntRect{};
  TIntRect r = tiles_.front().area;
  for (const TEffTile& tile : tiles_) {
    r.left = std::min(r.left, tile.area.left);
    r.top = std::min(r.top, tile.area.top);
    r.right = std::max(r.right, tile.area.right);
    r.bottom = std::max(r.bottom, tile.area.bottom);
  }
  return r;
}

}  // namespace vyr

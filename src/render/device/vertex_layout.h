#pragma once
// Layout of a stored vertex: position; then, when asked for, diffuse (4 bytes), specular
// (4 bytes), normal (12 bytes); then 1 to 8 coordinate pairs (8 bytes each).

#include <cstdint>

#include "render/device/device_types.h"

namespace vyr {

struct TVertexLayout {
  uint32_t components = 0;
  int textureSets = 1;
  int diffuseOffset = -1, specularOffset = -1, normalOffset = -1, texOffset = 0;
  int stride = 0;
};

// textureSets outside 1..8 is an internal error.
TVertexLayout MakeVertexLayout(uint32_t components, int textureSets);
// Writes count records at destination in the layout.
void PackVertices(const TVertexLayout& layout, const TVertexRecord* records, int count,
                  uint8_t* destination);

}  // namespace vyr

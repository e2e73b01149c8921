#include "render/device/vertex_layout.h"

#include <cstring>

#include "foundation/exceptions.h"

namespace vyr {

TVertexLayout MakeVertexLayout(uint32_t components, int textureSets) {
  VYR_ASSERT_MSG(textureSets >= 1 && textureSets <= 8, "Wrong texture set count");
  TVertexLayout l;
  l.components = components;
  l.textureSets = textureSets;
  int offset = 12;
  if (components & vcDiffuse) {
    l.diffuseOffset = offset;
    offset += 4;
  }
  if (components & vcSpecular) {
    l.specularOffset = offset;
    offset += 4;
  }
  if (components & vcNormal) {
    l.normalOffset = offset;
    offset += 12;
  }
  l.texOffset = offset;
  l.stride = offset + 8 * textureSets;
  return l;
}

void PackVertices(const TVertexLayout& layout, const TVertexRecord* records, int count,
                  uint8_t* destination) {
  for (int i = 0; i < count; ++i) {
    const TVertexRecord& r = records[i];
    uint8_t* v = destination + static_cast<ptrdiff_t>(i) * layout.stride;
    const float position[3] = {r.x, r.y, r.z};
    std::memcpy(v, position, sizeof position);
    if (layout.diffuseOffset >= 0) std::memcpy(v + layout.diffuseOffset, &r.diffuse, 4);
    if (layout.specularOffset >= 0) std::memcpy(v + layout.specularOffset, &r.specular, 4);
    if (layout.normalOffset >= 0) {
      const float normal[3] = {r.nx, r.ny, r.nz};
      std::memcpy(v + layout.normalOffset, normal, sizeof normal);
    }
    std::memcpy(v + layout.texOffset, r.tex, static_cast<size_t>(8 * layout.textureSets));
  }
}

}  // namespace vyr

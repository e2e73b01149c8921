// T3DDrawer: boxes with their fills and lines.

#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"

namespace vyr {
namespace {

TVec3 Shifted(const TVec3& p, float dx, float dy) { return {p.x + dx, p.y + dy, p.z}; }

}  // namespace

void T3DDrawer::DrawBox(const TPlacement& placement, const TFloatRect& rect,
                        const TBoxDrawParams& params) {
  std::lock_guard guard(lock_);
  if (!IsReady() || rect.Empty()) return;
  const float dx = DrawOffsetX(), dy = DrawOffsetY();
  const TVec3 corners[4] = {Shifted(placement.PointAt(rect.left, rect.top), dx, dy),
                            Shifted(placement.PointAt(rect.right, rect.top), dx, dy),
                            Shifted(placement.PointAt(rect.left, rect.bottom), dx, dy),
                            Shifted(placement.PointAt(rect.right, rect.bottom), dx, dy)};
  uint32_t colours[4];
  BoxCornerColours(params, colours);
  DrawQuad(corners, {}, colours, 0);
}

void T3DDrawer::DrawLine(const TVec3& from, const TVec3& to, uint32_t color) {
  std::lock_guard guard(lock_);
  T3DRenderer* renderer = screen_->Renderer();
  if (!IsReady() || !renderer) return;
  TVertexRecord v[2];
  v[0].x = from.x + DrawOffsetX();
  v[0].y = from.y + DrawOffsetY();
  v[0].z = from.z;
  v[1].x = to.x + DrawOffsetX();
  v[1].y = to.y + DrawOffsetY();
  v[1].z = to.z;
  v[0].diffuse = v[1].diffuse = color;
  if (!vertices_->Append(v, 2, TPrimitiveType::LineList, 1)) {
    vertices_->Reset();
    if (!vertices_->Append(v, 2, TPrimitiveType::LineList, 1)) return;
  }
  if (T3DVertexList* list = vertices_->DeviceList()) renderer->DrawVertexList({}, 0, *list);
}

}  // namespace vyr

// T3DDrawer: boxes with their fills and lines.

#include <algorithm>
#include <cmath>

#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"

namespace vyr {
namespace {

TVec3 Shifted(const TVec3& p, float dx, float dy) { return {p.x + dx, p.y + dy, p.z}; }

uint32_t Transparent(uint32_t argb) { return argb & 0x00FFFFFF; }

// Plane units that show as one pixel along an axis at a point, under the camera.
float PixelInPlane(const TCamera& camera, const TVec3& point, const TVec3& axis) {
  const float distance = std::max(point.z - camera.eye.z, 1e-6f);
  const float scale = camera.eye.z < 0 ? -camera.eye.z / distance : 1.0f;
  const float length = std::hypot(axis.x, axis.y) * scale;
  return length > 1e-6f ? 1 / length : 0;
}

}  // namespace

// `TBoxAntialiaser`: a fringe one pixel wide around the box fading from the box's colours
// to transparent.
void T3DDrawer::DrawBoxFringe(const TPlacement& placement, const TFloatRect& rect,
                              const uint32_t (&colours)[4]) {
  const TVec3 centre =
      placement.PointAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  const float fu = PixelInPlane(screen_->Camera(), centre, placement.axisX);
  const float fv = PixelInPlane(screen_->Camera(), centre, placement.axisY);
  if (!(fu > 0) || !(fv > 0)) return;
  const TFloatRect outer{rect.left - fu, rect.top - fv, rect.right + fu, rect.bottom + fv};
  const float dx = DrawOffsetX(), dy = DrawOffsetY();
  auto at = [&](float u, float v) { return Shifted(placement.PointAt(u, v), dx, dy); };
  // Inner and outer corners: top-left, top-right, bottom-right, bottom-left.
  const TVec3 in[4] = {at(rect.left, rect.top), at(rect.right, rect.top),
                       at(rect.right, rect.bottom), at(rect.left, rect.bottom)};
  const TVec3 out[4] = {at(outer.left, outer.top), at(outer.right, outer.top),
                        at(outer.right, outer.bottom), at(outer.left, outer.bottom)};
  const uint32_t c[4] = {colours[0], colours[1], colours[3], colours[2]};
  for (int e = 0; e < 4; ++e) {
    const int n = (e + 1) % 4;
    const TVec3 corners[4] = {out[e], out[n], in[e], in[n]};
    const uint32_t edge[4] = {Transparent(c[e]), Transparent(c[n]), c[e], c[n]};
    DrawQuad(corners, {}, edge, 0);
  }
}

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
  if (params.antialiased) DrawBoxFringe(placement, rect, colours);
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

#pragma once
// The screen's camera: an eye in target pixels looking into the screen (+z), with the
// plane z = 0 drawn one to one. The view matrix holds the viewport offset; the projection
// is a perspective with near plane 0.01 and far plane 1000000 whose x and y map target
// pixels to the viewport, so a sub-viewport keeps the scale of the whole target. Rows run
// top-down in every target (see gl_renderer.h), so y needs no flip. No half-pixel shift:
// OpenGL's pixel and texel centres already agree.

#include "scene/geometry.h"

namespace vyr {

constexpr float kNearPlane = 0.01f;
constexpr float kFarPlane = 1000000.0f;

struct TCamera {
  TVec3 eye;          // drawing coordinates; eye.z < 0 is in front of the screen
  TIntRect viewport;  // pixels of the target
  // Drawing coordinates of the target's pixel (0, 0): a render target pushed with an offset
  // receives what lands at the offset.
  int originX = 0, originY = 0;
  bool operator==(const TCamera&) const = default;
};

// The drawer's default: centred, at a distance equal to the height.
TCamera DefaultCamera(int width, int height);
void CameraMatrices(const TCamera& camera, TMatrix& world, TMatrix& view, TMatrix& projection);
// Screen position of a point: x and y in target pixels, z the distance to the camera plane
// (distances below 1e-6 count as 1e-6).
TVec3 ProjectPoint(const TCamera& camera, const TVec3& point);
// The point of the plane through a, b and c that shows at screen point (x, y); false when
// the plane is seen edge-on. An eye at z = 0 is an internal error ("  Camera.Z = 0  ").
bool UnprojectPoint(const TCamera& camera, float x, float y, const TVec3& a, const TVec3& b,
                    const TVec3& c, TVec3& result);

}  // namespace vyr

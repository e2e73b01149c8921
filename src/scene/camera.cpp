#include "scene/camera.h"

#include <algorithm>
#include <cmath>

#include "foundation/exceptions.h"

namespace vyr {
namespace {

TVec3 Sub(const TVec3& a, const TVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const TVec3& a, const TVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
TVec3 Cross(const TVec3& a, const TVec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

TCamera DefaultCamera(int width, int height) {
  TCamera c;
  c.eye = TVec3{width / 2.0f, height / 2.0f, -static_cast<float>(height)};
  c.viewport = TIntRect{0, 0, width, height};
  return c;
}

void CameraMatrices(const TCamera& camera, TMatrix& world, TMatrix& view, TMatrix& projection) {
  const TIntRect& vp = camera.viewport;
  world = TMatrix::Identity();
  const int left = camera.originX + vp.left, top = camera.originY + vp.top;
  view = TMatrix::Translation(static_cast<float>(-left), static_cast<float>(-top), 0);
  const double ex = camera.eye.x - left, ey = camera.eye.y - top;
  const double ez = camera.eye.z != 0 ? camera.eye.z : -1e-6;
  const double sx = 2.0 / std::max(vp.Width(), 1), sy = 2.0 / std::max(vp.Height(), 1);
  const double n = kNearPlane, f = kFarPlane;
  const double a = (f + n) / (f - n), b = -2.0 * f * n / (f - n);
  // w = (z - ez) / -ez, so the plane z = 0 keeps w = 1 and maps pixels one to one.
  TMatrix p;
  p.m[0][0] = static_cast<float>(sx);
  p.m[1][1] = static_cast<float>(sy);
  p.m[2][0] = static_cast<float>(-(sx * ex - 1) / ez);
  p.m[2][1] = static_cast<float>(-(sy * ey - 1) / ez);
  p.m[2][2] = static_cast<float>(a / -ez);
  p.m[2][3] = static_cast<float>(-1 / ez);
  p.m[3][0] = -1;
  p.m[3][1] = -1;
  p.m[3][2] = static_cast<float>((b - a * ez) / -ez);
  p.m[3][3] = 1;
  projection = p;
}

TVec3 ProjectPoint(const TCamera& camera, const TVec3& point) {
  const TVec3& e = camera.eye;
  const float distance = std::max(point.z - e.z, 1e-6f);
  const float scale = -e.z / distance;
  return TVec3{e.x + (point.x - e.x) * scale, e.y + (point.y - e.y) * scale, distance};
}

bool UnprojectPoint(const TCamera& camera, float x, float y, const TVec3& a, const TVec3& b,
                    const TVec3& c, TVec3& result) {
  VYR_ASSERT_MSG(camera.eye.z != 0, "  Camera.Z = 0  ");
  const TVec3& e = camera.eye;
  const TVec3 direction = Sub(TVec3{x, y, 0}, e);
  const TVec3 normal = Cross(Sub(b, a), Sub(c, a));
  const float denominator = Dot(normal, direction);
  if (std::fabs(denominator) < 1e-12f) return false;
  const float t = Dot(normal, Sub(a, e)) / denominator;
  result = TVec3{e.x + t * direction.x, e.y + t * direction.y, e.z + t * direction.z};
  return true;
}

}  // namespace vyr

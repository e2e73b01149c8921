#include "scene/objects/placement_math.h"

#include <cmath>

namespace vyr {

TMatrix3 LocalMatrix(double sx, double sy, double a, double b, double g) {
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
  const double cg = std::cos(g), sg = std::sin(g);
  auto f = [](double v) { return static_cast<float>(v); };
  return {f(sx * cb * cg),
          f(sx * cb * sg),
          f(sx * sb),
          f(sy * (sa * sb * cg - ca * sg)),
          f(sy * (sa * sb * sg + ca * cg)),
          f(sy * -sa * cb),
          f(sy * -(ca * sb * cg + sa * sg)),
          f(sy * (-ca * sb * sg + sa * cg)),
          f(sy * ca * cb)};
}

TMatrix3 Multiply(const TMatrix3& l, const TMatrix3& r) {
  TMatrix3 out{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      out[i * 3 + j] = l[i * 3] * r[j] + l[i * 3 + 1] * r[3 + j] + l[i * 3 + 2] * r[6 + j];
  return out;
}

TVec3 Add(const TVec3& a, const TVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TVec3 Sub(const TVec3& a, const TVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVec3 Scale(const TVec3& a, float f) { return {a.x * f, a.y * f, a.z * f}; }
TVec3 Cross(const TVec3& a, const TVec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const TVec3& a, const TVec3& b) {
  return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}
bool Finite(const TVec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool SameVec(const TVec3& a, const TVec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

bool SamePlacement(const TPlacement& a, const TPlacement& b) {
  return SameVec(a.origin, b.origin) && SameVec(a.axisX, b.axisX) && SameVec(a.axisY, b.axisY) &&
         SameVec(a.axisZ, b.axisZ);
}

double Determinant(const TPlacement& p) { return Dot(p.axisX, Cross(p.axisY, p.axisZ)); }

bool PlanePoint(const TPlacement& p, const TVec3& origin, const TVec3& direction, float& u,
                float& v) {
  // origin + t d = p0 + u X + v Y, solved by Cramer's rule over the columns X, Y, -d.
  const TVec3 nd = Scale(direction, -1);
  const TVec3 rhs = Sub(origin, p.origin);
  const double det = Dot(p.axisX, Cross(p.axisY, nd));
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
  const double du = Dot(rhs, Cross(p.axisY, nd));
  const double dv = Dot(p.axisX, Cross(rhs, nd));
  u = static_cast<float>(du / det);
  v = static_cast<float>(dv / det);
  return std::isfinite(u) && std::isfinite(v);
}

}  // namespace vyr

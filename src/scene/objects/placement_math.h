#pragma once
// The 3 x 3 matrices and plane arithmetic of object layout (row vectors, as geometry.h).

#include <array>

#include "scene/device_drawer.h"
#include "scene/geometry.h"

namespace vyr {

using TMatrix3 = std::array<float, 9>;  // row-major

inline constexpr TMatrix3 kIdentity3 = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// The local matrix of scales sx, sy and the angles (radians) about x (a), y (b) and z (g);
// the z row is scaled by sy.
TMatrix3 LocalMatrix(double sx, double sy, double a, double b, double g);
TMatrix3 Multiply(const TMatrix3& left, const TMatrix3& right);

TVec3 Add(const TVec3& a, const TVec3& b);
TVec3 Sub(const TVec3& a, const TVec3& b);
TVec3 Scale(const TVec3& a, float f);
TVec3 Cross(const TVec3& a, const TVec3& b);
double Dot(const TVec3& a, const TVec3& b);
bool Finite(const TVec3& v);

bool SameVec(const TVec3& a, const TVec3& b);
bool SamePlacement(const TPlacement& a, const TPlacement& b);
// det(X, Y, Z) of the placement's axes.
double Determinant(const TPlacement& placement);
// The point (u, v) of the placement's plane met by the ray origin + t direction; false when
// the ray runs along the plane or anything is not finite.
bool PlanePoint(const TPlacement& placement, const TVec3& origin, const TVec3& direction, float& u,
                float& v);

}  // namespace vyr

#pragma once
// Rectangles, points and 4 x 4 matrices shared by scene layout and the device layer. Matrices act
// on row vectors (p' = p M, translation in the last row), so their memory is what a GL mat4 uniform
// wants.

#include <array>

namespace vyr {

struct TIntRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const TIntRect&) const = default;
};

// Equal, where any two empty rectangles count as the same.
bool SameRect(const TIntRect& a, const TIntRect& b);
TIntRect Intersect(const TIntRect& a, const TIntRect& b);
long long Area(const TIntRect& r);

struct TVec3 {
  float x = 0, y = 0, z = 0;
  bool operator==(const TVec3&) const = default;
};

struct TMatrix {
  std::array<std::array<float, 4>, 4> m{};
  static TMatrix Identity();
  static TMatrix Translation(float x, float y, float z);
  TMatrix operator*(const TMatrix& other) const;
  // The row vector (x, y, z, 1) times the matrix; w comes back separately.
  void Transform(float x, float y, float z, float out[4]) const;
};

}  // namespace vyr

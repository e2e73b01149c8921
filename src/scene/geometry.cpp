#include "scene/geometry.h"

#include <algorithm>

namespace vyr {

bool SameRect(const TIntRect& a, const TIntRect& b) {
  if (a.Empty() && b.Empty()) return true;
  return a == b;
}

TIntRect Intersect(const TIntRect& a, const TIntRect& b) {
  TIntRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  if (r.Empty()) return TIntRect{};
  return r;
}

long long Area(const TIntRect& r) {
  return r.Empty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

TMatrix TMatrix::Identity() {
  TMatrix r;
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1;
  return r;
}

TMatrix TMatrix::Translation(float x, float y, float z) {
  TMatrix r = Identity();
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

TMatrix TMatrix::operator*(const TMatrix& other) const {
  TMatrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += m[i][k] * other.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

void TMatrix::Transform(float x, float y, float z, float out[4]) const {
  for (int j = 0; j < 4; ++j) out[j] = x * m[0][j] + y * m[1][j] + z * m[2][j] + m[3][j];
}

}  // namespace vyr

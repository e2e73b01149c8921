#pragma once
// Narrowing to float without undefined behaviour: values beyond the float range
// become infinities (and so fail where a finite value is required).

#include <cfloat>
#include <cmath>

namespace vyr {

inline float NarrowToFloat(long double v) {
  if (v > FLT_MAX) return INFINITY;
  if (v < -FLT_MAX) return -INFINITY;
  return static_cast<float>(v);  // also NaN
}

}  // namespace vyr

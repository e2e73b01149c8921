#include "render/compose/blur_plan.h"

#include <cmath>

namespace vyr {

namespace {
constexpr float kNoBlur = 0.00001f;
}

TGaussWeights GaussWeights(float e) {
  TGaussWeights w;
  w.w3 = 0.065722f * e;
  w.w2 = 0.108356f * e;
  w.w1 = 0.17865f * e;
  w.w0 = 0.294544f * e + (1 - e);
  return w;
}

TBlurPlan PlanBlur(float radius) {
  TBlurPlan plan;
  const float g = radius * 0.5f;
  if (g >= kNoBlur && g < 1) {
    plan.mix = true;
    plan.mixWeight = (g - kNoBlur) / 0.99999f;
    return plan;
  }
  if (g > 7) {
    const double l = std::log2(static_cast<double>(g) / 7);
    const double whole = std::trunc(l);
    if (l > whole) {
      plan.fullPairs = static_cast<int>(whole) + 1;
      plan.lastStrength = static_cast<float>(l - whole);
    } else {
      plan.fullPairs = static_cast<int>(whole);
      plan.lastStrength = 1;
    }
  } else if (g > 1) {
    plan.lastStrength = (g - 1) / 6;
  }
  return plan;
}

}  // namespace vyr

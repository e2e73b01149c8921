#pragma once
// The arithmetic of the blur: tap weights of a 7-tap pass and how a radius splits into
// full-strength pass pairs, a last pair of partial strength, or a sharp/blurred mix.

namespace vyr {

// c0 of "gauss_blur_h7"/"gauss_blur_v7" for a strength e: (w3, w2, w1, w0), adding up to 1.
struct TGaussWeights {
  float w3 = 0, w2 = 0, w1 = 0, w0 = 1;
};
TGaussWeights GaussWeights(float strength);

struct TBlurPlan {
  // Mix of the full-size copy and the half-size copy with mixWeight ("gauss_mix").
  bool mix = false;
  float mixWeight = 0;
  // Else: fullPairs pass pairs at strength 1 (tap distance doubling after each), then one
  // pair at lastStrength.
  int fullPairs = 0;
  float lastStrength = 0;
};
// Radius r in pixels of the drawing area; the passes run at half size (G = r x 0.5).
TBlurPlan PlanBlur(float radius);

}  // namespace vyr

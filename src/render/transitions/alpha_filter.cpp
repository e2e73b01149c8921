#include "render/transitions/alpha_filter.h"

#include <algorithm>
#include <cmath>

namespace vyr {

void EmitSlideRect(TEffController& renderer, const TIntRect& rect, float alpha, float dx,
                   float dy) {
  const float l = static_cast<float>(rect.left), r = static_cast<float>(rect.right);
  const float t = static_cast<float>(rect.top), b = static_cast<float>(rect.bottom);
  renderer.AddQuad(FlatVertex(l, t, alpha, dx, dy), FlatVertex(r, t, alpha, dx, dy),
                   FlatVertex(l, b, alpha, dx, dy), FlatVertex(r, b, alpha, dx, dy));
}

void TAlphaFilter::Draw(TEffController& renderer) {
  // Whole alpha steps, as a byte takes them.
  const double alpha = std::floor(std::clamp(Progress() * 255, 0.0, 255.0));
  EmitSlideRect(renderer, rect_, static_cast<float>(alpha));
}

}  // namespace vyr

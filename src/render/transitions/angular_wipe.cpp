#include "render/transitions/angular_wipe.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vyr {
namespace {

constexpr double kMaxStep = std::numbers::pi / 128;

}  // namespace

void TAngularWipe::Init(const TIntRect& rect, float smoothing, float duration) {
  TDrawFilter::Init(rect, smoothing, duration);
  Place();
  float farthest = 1;
  for (int x : {rect.left, rect.right})
    for (int y : {rect.top, rect.bottom})
      farthest = std::max(
          farthest, std::hypot(static_cast<float>(x) - pivotX_, static_cast<float>(y) - pivotY_));
  // Chords of the finest step stay outside the farthest corner.
  reach_ = farthest / static_cast<float>(std::cos(kMaxStep)) + 2;
  // The soft edge is the smoothing width wide at the farthest corner.
  softness_ = std::min(static_cast<double>(smoothing_) / farthest, std::fabs(sweep_));
}

void TAngularWipe::Draw(TEffController& renderer) {
  const double total = std::fabs(sweep_);
  if (total <= 0) return;
  const double direction = sweep_ < 0 ? -1 : 1;
  // The hand runs past the end by the soft width so that the last corner becomes opaque.
  const double hand = Progress() * (total + softness_);
  const double solid = std::clamp(hand - softness_, 0.0, total);
  const double end = std::clamp(hand, 0.0, total);
  auto alphaAt = [&](double a) {
    if (a <= hand - softness_) return 255.0;
    return softness_ > 0 ? std::clamp((hand - a) / softness_ * 255, 0.0, 255.0) : 0.0;
  };
  auto vertex = [&](double a, float alpha) {
    const double angle = start_ + direction * a;
    return FlatVertex(pivotX_ + reach_ * static_cast<float>(std::cos(angle)),
                      pivotY_ + reach_ * static_cast<float>(std::sin(angle)), alpha);
  };
  renderer.SetKeepOrder(false);
  auto slices = [&](double from, double to, bool soft) {
    const int count = std::max(1, static_cast<int>(std::ceil((to - from) / kMaxStep)));
    for (int k = 0; k < count; ++k) {
      const double a0 = from + (to - from) * k / count, a1 = from + (to - from) * (k + 1) / count;
      const float alpha0 = soft ? static_cast<float>(alphaAt(a0)) : 255;
      const float alpha1 = soft ? static_cast<float>(alphaAt(a1)) : 255;
      // The pivot takes the slice's middle alpha; each slice has its own pivot vertex.
      const float middle = (alpha0 + alpha1) / 2;
      renderer.AddTriangle(FlatVertex(pivotX_, pivotY_, middle), vertex(a0, alpha0),
                           vertex(a1, alpha1));
    }
  };
  if (solid > 0) slices(0, solid, false);
  if (end > solid) slices(solid, end, true);
}

}  // namespace vyr

#pragma once
// The blur of a silhouette's alpha: a mask with a border, reduced by the blur radius,
// enlarged again through the spread profile. The cost does not grow with the radius.

#include <cstdint>

#include "imaging/bitmap/bitmap.h"
#include "scene/filters/tone_curve.h"
#include "scene/shadow/resample.h"

namespace vyr {

// The largest blur radius used: keeps the mask border (2.5 radii) within bounds.
inline constexpr double kMaxShadowRadius = 256;

// The 4096-step linear interpolation of a 256-entry curve.
TSpreadTable MakeSpreadTable(const std::array<uint8_t, 256>& curve);

class TDropShadow {
 public:
  explicit TDropShadow(TGoOn goOn = {}) : goOn_(std::move(goOn)) {}

  // r = blur + 1 (1 when that is not above 0).
  void SetBlur(double blur);
  double Radius() const { return radius_; }
  // The border around the silhouette: ceil(2.5 r).
  int32_t Border() const;
  // A built-in tone curve; 0 (linear) means no spreading.
  void SetSpread(int presetIndex);
  bool Spreads() const { return spreads_; }

  // The blurred mask of the source's alpha (32-bit source), larger by the border on every
  // side; 8-bit.
  TRef<TBitmap> Blur(const TBitmap& silhouette);

  const TBitmap* ReducedMask() const { return reduced_.Get(); }

 private:
  TRef<TBitmap> AlphaMask(const TBitmap& silhouette) const;

  TGoOn goOn_;
  double radius_ = 1;
  bool spreads_ = false;
  TCurvesData curve_;
  TRef<TBitmap> reduced_;
};

}  // namespace vyr

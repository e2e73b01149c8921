#include "scene/shadow/drop_shadow.h"

#include <algorithm>
#include <cmath>

#include "imaging/bitmap/bitmap_factory.h"

namespace vyr {

TSpreadTable MakeSpreadTable(const std::array<uint8_t, 256>& curve) {
  // Single-precision constants, as the steps of the 4096 scale were always computed.
  constexpr float kDown = 255.0f / 4095.0f;
  constexpr float kUp = 4095.0f / 255.0f;
  TSpreadTable table{};
  for (int i = 0; i < 4096; ++i) {
    const int o = static_cast<int>(static_cast<float>(i) * kDown);
    const int p = std::min(o + 1, 255);
    const float fi = static_cast<float>(i);
    if (p == o) {  // the last step: the interpolation would weigh both ends with 0
      table[static_cast<size_t>(i)] = curve[static_cast<size_t>(o)];
      continue;
    }
    const float value = (curve[static_cast<size_t>(p)] * (fi - static_cast<float>(o) * kUp) +
                         curve[static_cast<size_t>(o)] * (static_cast<float>(p) * kUp - fi)) *
                        kDown;
    table[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
  }
  return table;
}

void TDropShadow::SetBlur(double blur) {
  const double r = blur + 1;
  radius_ = r > 0 && std::isfinite(r) ? std::min(r, kMaxShadowRadius) : 1;
}

int32_t TDropShadow::Border() const { return static_cast<int32_t>(std::ceil(2.5 * radius_)); }

void TDropShadow::SetSpread(int presetIndex) {
  spreads_ = presetIndex != 0 && curve_.LoadPreset(presetIndex);
}

TRef<TBitmap> TDropShadow::AlphaMask(const TBitmap& silhouette) const {
  const int32_t b = Border();
  const int32_t w = silhouette.Width(), h = silhouette.Height();
  TRef<TBitmap> mask = CreateSysBitmap(w + 2 * b, h + 2 * b, pf::A8());
  const TPixelChannel* alpha = silhouette.Format()->Channel(TChannelCode::A);
  VYR_ASSERT_MSG(silhouette.BytesPerPixel() == 4 && alpha, "TDropShadow - 32-bit silhouette");
  const int alphaByte = alpha->shift / 8;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* in = silhouette.Row(y) + alphaByte;
    uint8_t* out = mask->Row(y + b) + b;
    for (int32_t x = 0; x < w; ++x) out[x] = in[4 * x];
    if (goOn_ && !goOn_()) break;
  }
  return mask;
}

TRef<TBitmap> TDropShadow::Blur(const TBitmap& silhouette) {
  TRef<TBitmap> mask = AlphaMask(silhouette);
  const double r = radius_;
  const auto rw = static_cast<int32_t>(std::lround(mask->Width() / r)) + 1;
  const auto rh = static_cast<int32_t>(std::lround(mask->Height() / r)) + 1;
  reduced_ = CreateSysBitmap(rw, rh, pf::A8());
  Resample(*mask, *reduced_, BSplineFilter, kBSplineSupport, static_cast<float>(1 / r), nullptr,
           goOn_);
  TSpreadTable table;
  if (spreads_) table = MakeSpreadTable(curve_.Table());
  TRef<TBitmap> final = CreateSysBitmap(mask->Width(), mask->Height(), pf::A8());
  Resample(*reduced_, *final, BSplineFilter, kBSplineSupport, static_cast<float>(r),
           spreads_ ? &table : nullptr, goOn_);
  return final;
}

}  // namespace vyr

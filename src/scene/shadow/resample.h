#pragma once
// The filtered resampler of 8-bit single-channel bitmaps: separable passes through a 16-bit
// work image, mirrored edges, weights not normalised, an optional 4096-entry output table.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/exceptions.h"
#include "imaging/bitmap/bitmap.h"

namespace vyr {

VYR_DECLARE_EXCEPTION(EResampleError, TCommonException);

using TResampleFilter = float (*)(float x);
// The cubic B-spline: |x|^3 / 2 - x^2 + 2/3 below 1, (2 - |x|)^3 / 6 below 2, else 0.
float BSplineFilter(float x);
inline constexpr float kBSplineSupport = 2;

// Maps a 12-bit value (0..4095) to the output byte.
using TSpreadTable = std::array<uint8_t, 4096>;
// Asked during the work; false stops the current stage.
using TGoOn = std::function<bool()>;

// One target index's source indexes and weights.
struct TContribution {
  std::vector<int32_t> index;
  std::vector<float> weight;
};
// The contributions of every target index for a source of sourceSize and a scale.
std::vector<TContribution> Contributions(int32_t sourceSize, int32_t targetSize, float scale,
                                         TResampleFilter filter, float support, const TGoOn& goOn);

// Resamples source into target (both 8-bit single-channel) by scale. The source must be at
// least 2 x 2 ("Source bitmap too small").
void Resample(const TBitmap& source, TBitmap& target, TResampleFilter filter, float support,
              float scale, const TSpreadTable* table, const TGoOn& goOn);

}  // namespace vyr

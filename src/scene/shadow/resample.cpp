#include "scene/shadow/resample.h"

#include <algorithm>
#include <cmath>

namespace vyr {

namespace {

// Single-precision constants of the work scale: 255 maps to 65525.
constexpr float kToWork = 65525.0f / 255.0f;
constexpr float kFromWork = 1.0f / 257.0f;

int32_t Mirrored(int32_t i, int32_t n) {
  if (i < 0) i = -i;
  if (i >= n) i = 2 * n - i - 1;
  return std::clamp(i, 0, n - 1);  // far beyond both edges of a tiny source
}

bool Asked(const TGoOn& goOn) { return !goOn || goOn(); }

}  // namespace

float BSplineFilter(float x) {
  x = std::fabs(x);
  if (x < 1) return x * x * x / 2 - x * x + 2.0f / 3;
  if (x < 2) {
    const float t = 2 - x;
    return t * t * t / 6;
  }
  return 0;
}

std::vector<TContribution> Contributions(int32_t sourceSize, int32_t targetSize, float scale,
                                         TResampleFilter filter, float support, const TGoOn& goOn) {
  std::vector<TContribution> list(static_cast<size_t>(std::max(targetSize, 0)));
  const bool enlarging = scale >= 1;
  const float width = enlarging ? support : support / scale;
  for (int32_t x = 0; x < targetSize; ++x) {
    const float centre = static_cast<float>(x) / scale;
    const auto first = static_cast<int32_t>(std::floor(centre - width));
    const auto last = static_cast<int32_t>(std::ceil(centre + width));
    TContribution& c = list[static_cast<size_t>(x)];
    for (int32_t i = first; i <= last; ++i) {
      const float d = centre - static_cast<float>(i);
      const float weight = enlarging ? filter(d) : filter(d * scale) * scale;
      if (weight == 0) continue;
      c.index.push_back(Mirrored(i, sourceSize));
      c.weight.push_back(weight);
    }
    if (!Asked(goOn)) break;
  }
  return list;
}

void Resample(const TBitmap& source, TBitmap& target, TResampleFilter filter, float support,
              float scale, const TSpreadTable* table, const TGoOn& goOn) {
  VYR_ASSERT_MSG(source.BytesPerPixel() == 1 && target.BytesPerPixel() == 1,
                 "Resample - 8-bit bitmaps only");
  const int32_t sw = source.Width(), sh = source.Height();
  const int32_t tw = target.Width(), th = target.Height();
  if (sw < 2 || sh < 2) throw EResampleError("Source bitmap too small");
  if (tw <= 0 || th <= 0) return;

  const auto columns = Contributions(sw, tw, scale, filter, support, goOn);
  const auto rows = Contributions(sh, th, scale, filter, support, goOn);

  // Horizontal pass into the 16-bit work image (target width x source height).
  std::vector<uint16_t> work(static_cast<size_t>(tw) * static_cast<size_t>(sh));
  for (int32_t y = 0; y < sh; ++y) {
    const uint8_t* in = source.Row(y);
    uint16_t* out = work.data() + static_cast<size_t>(y) * static_cast<size_t>(tw);
    for (int32_t x = 0; x < tw; ++x) {
      const TContribution& c = columns[static_cast<size_t>(x)];
      float sum = 0;
      for (size_t j = 0; j < c.index.size(); ++j) sum += c.weight[j] * in[c.index[j]];
      sum = std::clamp(sum, 0.0f, 255.0f);
      out[x] = static_cast<uint16_t>(std::lround(sum * kToWork));
    }
    if (!Asked(goOn)) break;
  }

  // Vertical pass into the target, through the table when there is one.
  std::vector<float> sums(static_cast<size_t>(tw));
  for (int32_t y = 0; y < th; ++y) {
    const TContribution& c = rows[static_cast<size_t>(y)];
    std::fill(sums.begin(), sums.end(), 0.0f);
    for (size_t j = 0; j < c.index.size(); ++j) {
      const uint16_t* in = work.data() + static_cast<size_t>(c.index[j]) * static_cast<size_t>(tw);
      const float w = c.weight[j];
      for (int32_t x = 0; x < tw; ++x) sums[static_cast<size_t>(x)] += w * in[x];
    }
    uint8_t* out = target.Row(y);
    for (int32_t x = 0; x < tw; ++x) {
      const float sum = std::clamp(sums[static_cast<size_t>(x)], 0.0f, 65535.0f);
      out[x] = table ? (*table)[static_cast<size_t>(std::lround(sum * 4095.0f / 65535.0f))]
                     : static_cast<uint8_t>(std::lround(sum * kFromWork));
    }
    if (!Asked(goOn)) break;
  }
}

}  // namespace vyr

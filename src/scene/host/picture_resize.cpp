#include "scene/host/picture_resize.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "foundation/exceptions.h"
#include "imaging/bitmap/pixel_converter.h"
#include "imaging/bitmap/pixel_format.h"

namespace vyr {
namespace {

// Source position of a target pixel centre: the two neighbours and the weight of the second.
struct TSample {
  int32_t first, second;
  float weight;
};

std::vector<TSample> Samples(int32_t sourceSide, int32_t targetSide) {
  std::vector<TSample> samples(static_cast<size_t>(targetSide));
  const double ratio = static_cast<double>(sourceSide) / targetSide;
  for (int32_t i = 0; i < targetSide; ++i) {
    const double at = std::clamp((i + 0.5) * ratio - 0.5, 0.0, sourceSide - 1.0);
    const auto first = static_cast<int32_t>(at);
    samples[static_cast<size_t>(i)] = {first, std::min(first + 1, sourceSide - 1),
                                       static_cast<float>(at - first)};
  }
  return samples;
}

// One source row as premultiplied floats B, G, R, A.
void PremultipliedRow(const TBitmap& source, const TPixelConverter* toArgb, int32_t y,
                      std::vector<uint8_t>& scratch, std::vector<std::array<float, 4>>& out) {
  toArgb->Convert(scratch.data(), source.Row(y), source.Width());
  for (size_t x = 0; x < out.size(); ++x) {
    const uint8_t* p = &scratch[x * 4];
    const float a = p[3] / 255.0f;
    out[x] = {p[0] * a, p[1] * a, p[2] * a, static_cast<float>(p[3])};
  }
}

}  // namespace

TRef<TDirectBitmap> StretchBitmap(const TBitmap& source, int32_t width, int32_t height) {
  VYR_ASSERT(width > 0 && height > 0 && source.Width() > 0 && source.Height() > 0);
  auto target = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  const TPixelConverter* toArgb = GetPixelConverter(source.Format(), pf::A8R8G8B8());
  const std::vector<TSample> xs = Samples(source.Width(), width);
  const std::vector<TSample> ys = Samples(source.Height(), height);
  std::vector<uint8_t> scratch(static_cast<size_t>(source.Width()) * 4);
  std::vector<std::array<float, 4>> upper(static_cast<size_t>(source.Width()));
  std::vector<std::array<float, 4>> lower(upper.size());
  int32_t upperRow = -1, lowerRow = -1;
  for (int32_t y = 0; y < height; ++y) {
    const TSample& sy = ys[static_cast<size_t>(y)];
    if (upperRow != sy.first) {
      if (lowerRow == sy.first) {
        upper.swap(lower);
        std::swap(upperRow, lowerRow);
      } else {
        PremultipliedRow(source, toArgb, sy.first, scratch, upper);
        upperRow = sy.first;
      }
    }
    if (lowerRow != sy.second) {
      PremultipliedRow(source, toArgb, sy.second, scratch, lower);
      lowerRow = sy.second;
    }
    uint8_t* out = target->Row(y);
    for (int32_t x = 0; x < width; ++x) {
      const TSample& sx = xs[static_cast<size_t>(x)];
      std::array<float, 4> v;
      for (int c = 0; c < 4; ++c) {
        const float top =
            upper[sx.first][c] + (upper[sx.second][c] - upper[sx.first][c]) * sx.weight;
        const float bottom =
            lower[sx.first][c] + (lower[sx.second][c] - lower[sx.first][c]) * sx.weight;
        v[c] = top + (bottom - top) * sy.weight;
      }
      const float a = v[3];
      uint8_t* p = out + 4 * x;
      for (int c = 0; c < 3; ++c) {
        const float straight = a > 0 ? v[c] * 255.0f / a : 0.0f;
        p[c] = static_cast<uint8_t>(std::clamp(std::nearbyint(straight), 0.0f, 255.0f));
      }
      p[3] = static_cast<uint8_t>(std::clamp(std::nearbyint(a), 0.0f, 255.0f));
    }
  }
  return target;
}

TRef<TDirectBitmap> StretchPicture(TImage& picture, int32_t width, int32_t height) {
  TBitmapStore& store = picture.Store();
  const int level = LevelForSize(store.Params(), width, height);
  TRef<TBitmap> source = store.GetMipLevel(level);
  if (!source || source->Width() < 1 || source->Height() < 1) return nullptr;
  return StretchBitmap(*source, width, height);
}

}  // namespace vyr

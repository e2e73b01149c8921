#include "imaging/bitmap/reduce.h"

#include <algorithm>

#include "foundation/exceptions.h"

namespace vyr {

namespace {

template <int N>
void ReduceRow(const uint8_t* above, const uint8_t* mid, const uint8_t* below, int32_t srcWidth,
               uint8_t* out, int32_t outWidth) {
  for (int32_t x = 0; x < outWidth; ++x, out += N) {
    const int32_t cx = 2 * x;
    const int32_t lx = std::max(cx - 1, 0) * N;
    const int32_t rx = std::min(cx + 1, srcWidth - 1) * N;
    const int32_t mx = cx * N;
    for (int c = 0; c < N; ++c) {
      const unsigned sum = above[lx + c] + 2u * above[mx + c] + above[rx + c] +
                           2u * (mid[lx + c] + 2u * mid[mx + c] + mid[rx + c]) + below[lx + c] +
                           2u * below[mx + c] + below[rx + c];
      out[c] = static_cast<uint8_t>(sum >> 4);
    }
  }
}

}  // namespace

void ReduceByTwo(const TBitmap& source, TBitmap& dest) {
  const int n = source.BytesPerPixel();
  VYR_ASSERT_MSG((n == 3 || n == 4) && dest.Format() == source.Format(),
                 "ReduceByTwo - Unsupported Pixel Format");
  const int32_t w = source.Width(), h = source.Height();
  const int32_t outW = dest.Width(), outH = dest.Height();
  VYR_ASSERT_MSG(outW == (w + 1) / 2 && outH == (h + 1) / 2, "ReduceByTwo - Invalid Size");
  for (int32_t y = 0; y < outH; ++y) {
    if (!dest.ReportProgress(static_cast<float>(y) / static_cast<float>(outH))) return;
    const int32_t cy = 2 * y;
    const uint8_t* above = source.Row(std::max(cy - 1, 0));
    const uint8_t* mid = source.Row(cy);
    const uint8_t* below = source.Row(std::min(cy + 1, h - 1));
    if (n == 3)
      ReduceRow<3>(above, mid, below, w, dest.Row(y), outW);
    else
      ReduceRow<4>(above, mid, below, w, dest.Row(y), outW);
  }
  dest.ReportProgress(1.0f);
}

}  // namespace vyr

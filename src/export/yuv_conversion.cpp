#include "export/yuv_conversion.h"

#include <cstddef>
#include <cstring>

namespace vyr::exporting {
namespace {

constexpr double kKr = 0.2126, kKb = 0.0722, kKg = 1 - kKr - kKb;
constexpr int kShift = 16;
constexpr int32_t kHalf = 1 << (kShift - 1);

constexpr int32_t Fixed(double value) {
  return static_cast<int32_t>(value * (1 << kShift) + (value < 0 ? -0.5 : 0.5));
}

// Luma of 8-bit R, G, B; chroma of the sums of four pixels' R, G, B (hence the quarter).
constexpr double kLumaScale = 219.0 / 255.0, kChromaScale = 224.0 / 255.0 / 4.0;
constexpr int32_t kYr = Fixed(kKr * kLumaScale), kYg = Fixed(kKg * kLumaScale),
                  kYb = Fixed(kKb * kLumaScale);
constexpr double kCbDiv = 2 * (1 - kKb), kCrDiv = 2 * (1 - kKr);
constexpr int32_t kCbr = Fixed(-kKr / kCbDiv * kChromaScale),
                  kCbg = Fixed(-kKg / kCbDiv * kChromaScale), kCbb = Fixed(0.5 * kChromaScale);
constexpr int32_t kCrr = Fixed(0.5 * kChromaScale), kCrg = Fixed(-kKg / kCrDiv * kChromaScale),
                  kCrb = Fixed(-kKb / kCrDiv * kChromaScale);
constexpr int32_t kLumaOffset = (16 << kShift) + kHalf, kChromaOffset = (128 << kShift) + kHalf;

// A pixel as a word whatever the row's alignment (compilers turn this into a plain load).
inline uint32_t Pixel(const uint8_t* row, int x) {
  uint32_t p;
  std::memcpy(&p, row + 4 * x, 4);
  return p;
}

inline int32_t B(uint32_t p) { return static_cast<int32_t>(p & 0xFF); }
inline int32_t G(uint32_t p) { return static_cast<int32_t>((p >> 8) & 0xFF); }
inline int32_t R(uint32_t p) { return static_cast<int32_t>((p >> 16) & 0xFF); }

// Each row function is built for AVX2 and for the baseline, chosen when the program loads.
#define VYR_ROW_FUNCTION __attribute__((target_clones("avx2", "default")))

VYR_ROW_FUNCTION void LumaRow(const uint8_t* __restrict pixels, uint8_t* __restrict luma,
                              int width) {
  for (int x = 0; x < width; ++x) {
    const uint32_t p = Pixel(pixels, x);
    luma[x] = static_cast<uint8_t>((kYr * R(p) + kYg * G(p) + kYb * B(p) + kLumaOffset) >> kShift);
  }
}

VYR_ROW_FUNCTION void ChromaRow(const uint8_t* __restrict top, const uint8_t* __restrict bottom,
                                uint8_t* __restrict cb, uint8_t* __restrict cr, int halfWidth) {
  for (int x = 0; x < halfWidth; ++x) {
    const uint32_t a = Pixel(top, 2 * x), b = Pixel(top, 2 * x + 1);
    const uint32_t c = Pixel(bottom, 2 * x), d = Pixel(bottom, 2 * x + 1);
    const int32_t r = R(a) + R(b) + R(c) + R(d);
    const int32_t g = G(a) + G(b) + G(c) + G(d);
    const int32_t bl = B(a) + B(b) + B(c) + B(d);
    cb[x] = static_cast<uint8_t>((kCbr * r + kCbg * g + kCbb * bl + kChromaOffset) >> kShift);
    cr[x] = static_cast<uint8_t>((kCrr * r + kCrg * g + kCrb * bl + kChromaOffset) >> kShift);
  }
}

}  // namespace

void BgraRowsToYuv420(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* lumaTop,
                      uint8_t* lumaBottom, uint8_t* cb, uint8_t* cr) {
  LumaRow(top, lumaTop, width);
  LumaRow(bottom, lumaBottom, width);
  ChromaRow(top, bottom, cb, cr, width / 2);
}

void BgraToYuv420(const uint8_t* bgra, int stride, int width, int height, const TYuvPlanes& out) {
  for (int y = 0; y + 1 < height; y += 2) {
    const uint8_t* top = bgra + static_cast<ptrdiff_t>(y) * stride;
    uint8_t* luma = out.data[0] + static_cast<ptrdiff_t>(y) * out.stride[0];
    BgraRowsToYuv420(top, top + stride, width, luma, luma + out.stride[0],
                     out.data[1] + static_cast<ptrdiff_t>(y / 2) * out.stride[1],
                     out.data[2] + static_cast<ptrdiff_t>(y / 2) * out.stride[2]);
  }
}

}  // namespace vyr::exporting

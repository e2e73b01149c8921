// BGRA to BT.709 limited-range YUV 4:2:0: the standard code values of flat colours, chroma
// from the mean of exactly its 2 x 2 pixels, and every sample of random pictures within half
// a code value of the formula (the fixed-point sums never round the wrong way by more).
#include "export/yuv_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace vyr::exporting {
namespace {

struct TRgb {
  int r, g, b;
};

// A picture of BGRA rows with a few bytes of padding after each row.
struct TPicture {
  TPicture(int w, int h) : width(w), height(h), stride(4 * w + 12) {
    bytes.assign(static_cast<size_t>(stride) * h, 0);
  }
  void Set(int x, int y, TRgb c) {
    uint8_t* p = &bytes[static_cast<size_t>(y * stride + 4 * x)];
    p[0] = static_cast<uint8_t>(c.b);
    p[1] = static_cast<uint8_t>(c.g);
    p[2] = static_cast<uint8_t>(c.r);
    p[3] = 255;
  }
  TRgb At(int x, int y) const {
    const uint8_t* p = &bytes[static_cast<size_t>(y * stride + 4 * x)];
    return {p[2], p[1], p[0]};
  }
  int width, height, stride;
  std::vector<uint8_t> bytes;
};

// The planes, each row padded too.
struct TOut {
  TOut(int w, int h)
      : y(static_cast<size_t>((w + 5) * h)),
        cb(static_cast<size_t>((w / 2 + 3) * h / 2)),
        cr(cb.size()),
        planes{{y.data(), cb.data(), cr.data()}, {w + 5, w / 2 + 3, w / 2 + 3}} {}
  int Y(int x, int row) const { return y[static_cast<size_t>(row * planes.stride[0] + x)]; }
  int Cb(int x, int row) const { return cb[static_cast<size_t>(row * planes.stride[1] + x)]; }
  int Cr(int x, int row) const { return cr[static_cast<size_t>(row * planes.stride[2] + x)]; }
  std::vector<uint8_t> y, cb, cr;
  TYuvPlanes planes;
};

TOut Convert(const TPicture& picture) {
  TOut out(picture.width, picture.height);
  BgraToYuv420(picture.bytes.data(), picture.stride, picture.width, picture.height, out.planes);
  return out;
}

TEST(YuvConversion, FlatColoursGiveTheirStandardCodeValues) {
  struct Case {
    TRgb rgb;
    int y, cb, cr;
  };
  const Case cases[] = {
      {{0, 0, 0}, 16, 128, 128},     {{255, 255, 255}, 235, 128, 128},
      {{255, 0, 0}, 63, 102, 240},   {{0, 255, 0}, 173, 42, 26},
      {{0, 0, 255}, 32, 240, 118},   {{128, 128, 128}, 126, 128, 128},
      {{255, 255, 0}, 219, 16, 138}, {{0, 255, 255}, 188, 154, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rgb.r << "," << c.rgb.g << "," << c.rgb.b);
    TPicture picture(6, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) picture.Set(x, y, c.rgb);
    const TOut out = Convert(picture);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) ASSERT_EQ(out.Y(x, y), c.y) << x << "," << y;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        ASSERT_EQ(out.Cb(x, y), c.cb) << x << "," << y;
        ASSERT_EQ(out.Cr(x, y), c.cr) << x << "," << y;
      }
  }
}

TEST(YuvConversion, ChromaIsTheMeanOfExactlyItsFourPixels) {
  // Blue everywhere but one pixel of green: only the chroma sample over it moves.
  TPicture picture(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) picture.Set(x, y, {0, 0, 255});
  picture.Set(5, 3, {0, 255, 0});
  const TOut out = Convert(picture);
  // The mean (0, 63.75, 191.25) gives Cb 190.4 and Cr 94.9.
  EXPECT_EQ(out.Cb(2, 1), 190);
  EXPECT_EQ(out.Cr(2, 1), 95);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      if (x == 2 && y == 1) continue;
      EXPECT_EQ(out.Cb(x, y), 240) << x << "," << y;
      EXPECT_EQ(out.Cr(x, y), 118) << x << "," << y;
    }
  EXPECT_EQ(out.Y(5, 3), 173);
  EXPECT_EQ(out.Y(4, 3), 32);
}

TEST(YuvConversion, RandomPicturesFollowTheFormulaToHalfACodeValue) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  // Widths that leave every remainder for vector loops of 4, 8, 16 and 32 pixels.
  for (int width : {2, 14, 30, 66, 98}) {
    TPicture picture(width, 6);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < width; ++x) picture.Set(x, y, {byte(random), byte(random), byte(random)});
    const TOut out = Convert(picture);
    auto luma = [](double r, double g, double b) { return 0.2126 * r + 0.7152 * g + 0.0722 * b; };
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < width; ++x) {
        const TRgb p = picture.At(x, y);
        const double want = 16 + 219 * luma(p.r, p.g, p.b) / 255;
        ASSERT_LE(std::abs(out.Y(x, y) - want), 0.501) << width << ": " << x << "," << y;
      }
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width / 2; ++x) {
        double r = 0, g = 0, b = 0;
        for (int k = 0; k < 4; ++k) {
          const TRgb p = picture.At(2 * x + k % 2, 2 * y + k / 2);
          r += p.r / 4.0;
          g += p.g / 4.0;
          b += p.b / 4.0;
        }
        const double l = luma(r, g, b);
        const double cb = 128 + 224 * (b - l) / 1.8556 / 255,
                     cr = 128 + 224 * (r - l) / 1.5748 / 255;
        ASSERT_LE(std::abs(out.Cb(x, y) - cb), 0.501) << width << ": " << x << "," << y;
        ASSERT_LE(std::abs(out.Cr(x, y) - cr), 0.501) << width << ": " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace vyr::exporting

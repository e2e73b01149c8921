// The scan-line rasteriser and the raster helper on shapes whose coverage is known exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/exceptions.h"
#include "imaging/text/raster_helper.h"
#include "imaging/text/raster_paint.h"

namespace vyr {
namespace {

// Alpha of pixel (x, y) of an "A8R8G8B8" bitmap.
int Alpha(const TBitmap& bitmap, int x, int y) { return bitmap.Row(y)[x * 4 + 3]; }

// Collects the raw coverage cells per pixel.
struct TCoverage : TSpanConsumer {
  TCoverage(int w, int h) : width(w), cells(size_t(w) * h, 0) {}
  void Span(int32_t row, int32_t left, int32_t right, const int16_t* c) override {
    for (int32_t x = left; x < right; ++x) cells[size_t(row) * width + x] += c[x];
  }
  int At(int x, int y) const { return cells[size_t(y) * width + x]; }
  int width;
  std::vector<int> cells;
};

TPath Rect(float x0, float y0, float x1, float y1, bool clockwise = true) {
  if (clockwise)
    return {
        {x0, y0, kPathMoveTo}, {x1, y0, kPathLineTo}, {x1, y1, kPathLineTo}, {x0, y1, kPathLineTo}};
  return {
      {x0, y0, kPathMoveTo}, {x0, y1, kPathLineTo}, {x1, y1, kPathLineTo}, {x1, y0, kPathLineTo}};
}

TCoverage Rasterize(const TPath& path, bool evenOdd, int w = 20, int h = 20) {
  TOutline outline;
  outline.SetEvenOdd(evenOdd);
  for (const auto& p : path)
    p.command == kPathMoveTo ? outline.MoveTo(p.x, p.y) : outline.LineTo(p.x, p.y);
  outline.Finish();
  TCoverage coverage(w, h);
  TRasterizer().Rasterize(outline, w, h, coverage);
  return coverage;
}

TEST(Rasterizer, SquareCoversWholePixelsExactly) {
  const TCoverage c = Rasterize(Rect(0, 0, 10, 10), false);
  int full = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(c.At(x, y), x < 10 && y < 10 ? 256 : 0) << x << "," << y;
      full += c.At(x, y) == 256;
    }
  EXPECT_EQ(full, 100);
}

TEST(Rasterizer, HalfPixelShiftHalvesBordersAndQuartersCorners) {
  const TCoverage c = Rasterize(Rect(0.5f, 0.5f, 10.5f, 10.5f), false);
  EXPECT_EQ(c.At(0, 0), 64);
  EXPECT_EQ(c.At(10, 10), 64);
  EXPECT_EQ(c.At(10, 0), 64);
  for (int i = 1; i < 10; ++i) {
    EXPECT_EQ(c.At(i, 0), 128);
    EXPECT_EQ(c.At(0, i), 128);
    EXPECT_EQ(c.At(10, i), 128);
    EXPECT_EQ(c.At(i, 10), 128);
    EXPECT_EQ(c.At(i, 5), 256);
  }
  EXPECT_EQ(c.At(11, 5), 0);
}

TEST(Rasterizer, OverlapIsFilledByNonzeroAndEmptyByEvenOdd) {
  TPath two = Rect(0, 0, 10, 10);
  const TPath second = Rect(5, 5, 15, 15);
  two.insert(two.end(), second.begin(), second.end());
  const TCoverage nonzero = Rasterize(two, false);
  const TCoverage evenOdd = Rasterize(two, true);
  EXPECT_EQ(nonzero.At(7, 7), 256);
  EXPECT_EQ(evenOdd.At(7, 7), 0);
  for (const TCoverage* c : {&nonzero, &evenOdd}) {
    EXPECT_EQ(c->At(2, 2), 256);
    EXPECT_EQ(c->At(12, 12), 256);
    EXPECT_EQ(c->At(12, 2), 0);
  }
}

TEST(Rasterizer, CounterClockwiseInnerContourIsAHole) {
  TPath ring = Rect(0, 0, 12, 12, true);
  const TPath hole = Rect(4, 4, 8, 8, false);
  ring.insert(ring.end(), hole.begin(), hole.end());
  for (bool evenOdd : {false, true}) {
    const TCoverage c = Rasterize(ring, evenOdd);
    EXPECT_EQ(c.At(5, 5), 0);
    EXPECT_EQ(c.At(2, 5), 256);
    EXPECT_EQ(c.At(10, 10), 256);
  }
}

TEST(Rasterizer, CoverageIsClippedAtTheLeftAndRightEdges) {
  const TCoverage c = Rasterize(Rect(-5.5f, 2, 25.5f, 4), false);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(c.At(x, 2), 256) << x;
  EXPECT_EQ(c.At(0, 4), 0);
}

TEST(Rasterizer, TriangleCoverageMatchesItsArea) {
  // Right triangle with legs of 16 pixels: area 128 pixels = 128 x 256 coverage.
  const TCoverage c =
      Rasterize({{0, 0, kPathMoveTo}, {16, 16, kPathLineTo}, {0, 16, kPathLineTo}}, false, 20, 20);
  long total = 0;
  for (int v : c.cells) total += v;
  EXPECT_NEAR(total, 128 * 256, 16 * 16);
  EXPECT_EQ(c.At(0, 15), 256);
  EXPECT_EQ(c.At(15, 0), 0);
}

// The plain scan conversion: on every sub-scan-line every edge's crossing, spans by winding,
// each cell adding its overlap with the span.
TCoverage ReferenceCoverage(const TOutline& outline, int w, int h) {
  TCoverage coverage(w, h);
  struct TCrossing {
    int32_t x;
    int winding;
  };
  std::vector<TCrossing> crossings;
  for (int64_t j = 0; j < int64_t{h} * kSubPixels; ++j) {
    crossings.clear();
    for (const TOutlineEdge& e : outline.Edges()) {
      const int64_t done = j - e.y, rows = e.height > 0 ? e.height : -e.height;
      if (done < 0 || done >= rows) continue;
      crossings.push_back({e.x + static_cast<int32_t>(RoundToEven((double(done) + 0.5) * e.slope)),
                           e.height > 0 ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const TCrossing& a, const TCrossing& b) { return a.x < b.x; });
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].winding;
      if (outline.EvenOdd() ? (winding & 1) == 0 : winding == 0) continue;
      const int64_t x1 = std::max<int64_t>(crossings[i].x, 0);
      const int64_t x2 = std::min<int64_t>(crossings[i + 1].x, int64_t{w} * kSubPixels);
      for (int64_t cell = 0; cell < w; ++cell) {
        const int64_t overlap =
            std::min(x2, (cell + 1) * kSubPixels) - std::max(x1, cell * kSubPixels);
        if (overlap > 0)
          coverage.cells[size_t(j / kSubPixels) * size_t(w) + size_t(cell)] += int(overlap);
      }
    }
  }
  return coverage;
}

// Repeatable draws below a bound for the generated cases.
struct TDraws {
  uint32_t state;
  int operator()(int bound) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % static_cast<uint32_t>(bound));
  }
};

// An outline of one to three contours, each of 3 + next(pointsBound) corners placed by corner().
template <typename Corner>
TOutline GeneratedOutline(bool evenOdd, TDraws& next, int pointsBound, Corner corner) {
  TOutline outline;
  outline.SetEvenOdd(evenOdd);
  for (int contour = 1 + next(3); contour > 0; --contour) {
    const int points = 3 + next(pointsBound);
    for (int p = 0; p < points; ++p) {
      const auto [x, y] = corner();
      p == 0 ? outline.MoveTo(x, y) : outline.LineTo(x, y);
    }
  }
  outline.Finish();
  return outline;
}

// The rasteriser's coverage against the plain scan conversion on generated polygons: several
// contours, both fill rules, shapes crossing every side of the target, thin slivers and wide
// runs; one rasteriser for all of them, as the text painter keeps one.
TEST(Rasterizer, MatchesThePlainScanConversionOnGeneratedPolygons) {
  TDraws next{77};
  TRasterizer rasterizer;
  for (int round = 0; round < 300; ++round) {
    const int w = 1 + next(round % 3 == 0 ? 200 : 40), h = 1 + next(40);
    const TOutline outline = GeneratedOutline(round % 2 == 1, next, round % 5 == 0 ? 40 : 8, [&] {
      const double x = (next(16 * (w + 20)) - 16 * 10) / 16.0 + next(7) / 113.0;
      const double y = (next(16 * (h + 20)) - 16 * 10) / 16.0 + next(7) / 97.0;
      return std::pair{x, y};
    });
    TCoverage fast(w, h);
    rasterizer.Rasterize(outline, w, h, fast);
    const TCoverage plain = ReferenceCoverage(outline, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(fast.At(x, y), plain.At(x, y))
            << "round " << round << " pixel " << x << "," << y << " of " << w << "x" << h;
  }
}

// Whole rows at once (where no edge starts, ends or crosses another within a pixel row) against
// the sub-scan-line walk and the plain scan conversion, on generated shapes made to have such
// rows: tall polygons whose corners sit on pixel rows, overlapping contours of both fill rules,
// edges that cross each other, and shapes running past the target's left and right sides.
TEST(Rasterizer, WholeRowsGiveTheSameCoverageAsSubScanLines) {
  TDraws next{4242};
  TRasterizer whole, walked;
  walked.SetWholeRows(false);
  for (int round = 0; round < 300; ++round) {
    const int w = 8 + next(round % 4 == 0 ? 300 : 60), h = 8 + next(60);
    const TOutline outline = GeneratedOutline(round % 3 == 1, next, round % 5 == 0 ? 12 : 4, [&] {
      const double x = next(w + 20) - 10 + next(16) / 16.0 + (round % 2 ? next(9) / 71.0 : 0);
      // Corners on pixel rows most of the time, so that rows in between are whole.
      const double y = next(h + 4) - 2 + (next(4) == 0 ? next(16) / 16.0 + next(5) / 89.0 : 0);
      return std::pair{x, y};
    });
    TCoverage fast(w, h), slow(w, h);
    whole.Rasterize(outline, w, h, fast);
    walked.Rasterize(outline, w, h, slow);
    const TCoverage plain = ReferenceCoverage(outline, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(fast.At(x, y), slow.At(x, y))
            << "round " << round << " pixel " << x << "," << y << " of " << w << "x" << h;
        ASSERT_EQ(fast.At(x, y), plain.At(x, y)) << "round " << round;
      }
  }
}

// The painter against PaintCoverage pixel by pixel on generated rows: opaque, translucent and
// clear colours, coverage from none to full, pixels of every alpha, spans that cross the clip.
TEST(PaintSpanConsumer, MatchesPaintCoverageOnGeneratedRows) {
  uint32_t state = 4242;
  const auto next = [&state](uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  constexpr int kWidth = 64;
  for (int round = 0; round < 300; ++round) {
    const uint32_t alphas[] = {255, 255, 0, 128, next(256)};
    const uint32_t color = alphas[round % 5] << 24 | next(1u << 24);
    TDirectBitmap bitmap(kWidth, 1, pf::A8R8G8B8());
    std::vector<uint32_t> before(kWidth);
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t pixelAlphas[] = {0, 255, next(256)};
      before[x] = pixelAlphas[next(3)] << 24 | next(1u << 24);
      std::memcpy(bitmap.Row(0) + x * 4, &before[x], 4);
    }
    std::vector<int16_t> cells(kWidth);
    for (int16_t& c : cells) {
      const int16_t picks[] = {0, 256, static_cast<int16_t>(next(257))};
      c = picks[next(3)];
    }
    const TRect clip{static_cast<int32_t>(next(8)), 0, kWidth - static_cast<int32_t>(next(8)), 1};
    const int32_t left = static_cast<int32_t>(next(16)),
                  right = kWidth - static_cast<int32_t>(next(16));
    TPaintSpanConsumer(bitmap, clip, color).Span(0, left, right, cells.data());
    for (int x = 0; x < kWidth; ++x) {
      const bool painted = x >= std::max(left, clip.left) && x < std::min(right, clip.right);
      uint32_t pixel;
      std::memcpy(&pixel, bitmap.Row(0) + x * 4, 4);
      ASSERT_EQ(pixel, painted ? PaintCoverage(color, cells[x], before[x]) : before[x])
          << "round " << round << " x " << x;
    }
  }
}

TEST(RasterHelper, PaintsCoverageAsAlphaOfTheColour) {
  TRasterHelper helper;
  helper.BeginPaint(12, 12, 0xFF336699);
  ASSERT_TRUE(helper.FillPath(Rect(0.5f, 0.5f, 10.5f, 10.5f)));
  TRef<TDirectBitmap> bitmap = helper.EndPaint();
  uint32_t inside, corner, outside;
  std::memcpy(&inside, bitmap->Row(5) + 5 * 4, 4);
  std::memcpy(&corner, bitmap->Row(0), 4);
  std::memcpy(&outside, bitmap->Row(11) + 11 * 4, 4);
  EXPECT_EQ(inside, 0xFF336699u);
  EXPECT_EQ(corner, 0x3F336699u);  // 64 x 255 >> 8
  EXPECT_EQ(outside, 0x00336699u);
  EXPECT_EQ(Alpha(*bitmap, 5, 0), 127);
}

TEST(RasterHelper, TransformScalesAndMovesThePath) {
  TRasterHelper helper;
  helper.BeginPaint(20, 20, 0xFFFFFFFF);
  helper.SetTransform({2, 0, 0, 0, 2, 0, 4, 6, 1});
  ASSERT_TRUE(helper.FillPath(Rect(0, 0, 3, 3)));
  auto bitmap = helper.EndPaint();
  EXPECT_EQ(Alpha(*bitmap, 4, 6), 255);
  EXPECT_EQ(Alpha(*bitmap, 9, 11), 255);
  EXPECT_EQ(Alpha(*bitmap, 10, 11), 0);
  EXPECT_EQ(Alpha(*bitmap, 3, 6), 0);
}

TEST(RasterHelper, ClipLimitsPaintedPixels) {
  TRasterHelper helper;
  helper.BeginPaint(10, 10, 0xFFFFFFFF);
  helper.SetClip({2, 3, 5, 6});
  helper.FillPath(Rect(0, 0, 10, 10));
  auto bitmap = helper.EndPaint();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(Alpha(*bitmap, x, y), x >= 2 && x < 5 && y >= 3 && y < 6 ? 255 : 0);
}

TEST(RasterHelper, CurvesAreFlattenedCloseToTheTrueShape) {
  // A circle of radius 40 from four cubic quarter arcs: area pi r^2.
  const float r = 40, k = 0.5522847f * r, cx = 50, cy = 50;
  const TPath circle = {
      {cx + r, cy, kPathMoveTo}, {cx + r, cy + k, kPathCubic}, {cx + k, cy + r, kPathCubic},
      {cx, cy + r, kPathCubic},  {cx - k, cy + r, kPathCubic}, {cx - r, cy + k, kPathCubic},
      {cx - r, cy, kPathCubic},  {cx - r, cy - k, kPathCubic}, {cx - k, cy - r, kPathCubic},
      {cx, cy - r, kPathCubic},  {cx + k, cy - r, kPathCubic}, {cx + r, cy - k, kPathCubic},
      {cx + r, cy, kPathCubic}};
  TRasterHelper helper;
  helper.BeginPaint(100, 100, 0xFFFFFFFF);
  ASSERT_TRUE(helper.FillPath(circle));
  auto bitmap = helper.EndPaint();
  double ink = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) ink += Alpha(*bitmap, x, y) / 255.0;
  EXPECT_NEAR(ink, 3.14159265 * r * r, 0.01 * 3.14159265 * r * r);
  EXPECT_EQ(Alpha(*bitmap, 50, 50), 255);
  EXPECT_EQ(Alpha(*bitmap, 80, 80), 0);  // outside the circle, inside its corner
}

TEST(RasterHelper, QuadraticControlPointBendsTheEdge) {
  // Quadratic from (0,20) through control (10,-20) to (20,20): apex at y = 0.
  TRasterHelper helper;
  helper.BeginPaint(24, 24, 0xFFFFFFFF);
  ASSERT_TRUE(
      helper.FillPath({{0, 20, kPathMoveTo}, {10, -20, kPathQuadratic}, {20, 20, kPathQuadratic}}));
  auto bitmap = helper.EndPaint();
  EXPECT_EQ(Alpha(*bitmap, 10, 2), 255);
  EXPECT_EQ(Alpha(*bitmap, 1, 2), 0);
}

TEST(RasterHelper, MalformedPathsDrawNothing) {
  const std::vector<TPath> bad = {
      {},
      {{0, 0, kPathLineTo}, {10, 0, kPathLineTo}, {10, 10, kPathLineTo}},  // no move to
      {{0, 0, kPathMoveTo}, {10, 0, kPathLineTo}, {10, 10, kPathEnd}, {0, 10, kPathLineTo}},
      {{0, 0, kPathMoveTo}, {10, 0, kPathLineTo}, {10, 10, kPathQuadratic}},  // no end point
      {{0, 0, kPathMoveTo}, {10, 0, kPathCubic}, {10, 10, kPathCubic}},
  };
  for (const TPath& path : bad) {
    TRasterHelper helper;
    helper.BeginPaint(12, 12);
    EXPECT_FALSE(helper.FillPath(path));
    auto bitmap = helper.EndPaint();
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) ASSERT_EQ(Alpha(*bitmap, x, y), 0);
  }
  TRasterHelper helper;
  helper.BeginPaint(4, 4);
  EXPECT_THROW(helper.FillPath({{0, 0, kPathMoveTo}, {1, 1, 7}}), EAssertionFailed);
  // A contour end followed by a move to is fine.
  EXPECT_TRUE(helper.FillPath({{0, 0, kPathMoveTo},
                               {2, 0, kPathLineTo},
                               {2, 2, kPathLineTo},
                               {0, 0, kPathEnd},
                               {2, 2, kPathMoveTo},
                               {4, 2, kPathLineTo},
                               {4, 4, kPathLineTo}}));
  helper.EndPaint();
}

TEST(RasterHelper, MisuseIsReportedAsAssertions) {
  TRasterHelper helper;
  EXPECT_THROW(helper.EndPaint(), EAssertionFailed);
  EXPECT_THROW(helper.BeginPaint(0, 5), EAssertionFailed);
  helper.BeginPaint(2, 2);
  EXPECT_THROW(helper.BeginPaint(2, 2), EAssertionFailed);
  EXPECT_THROW(
      {
        TRasterHelper other;
        other.BeginPaint(1, 1);
      },
      EAssertionFailed);
  helper.EndPaint();
}

TEST(RasterHelper, HugeCoordinatesAreClampedAndStayCheap) {
  TRasterHelper helper;
  helper.BeginPaint(16, 16, 0xFFFFFFFF);
  helper.SetTransform({1e9f, 0, 0, 0, 1e9f, 0, 0, 0, 1});
  // A circle-like curve of astronomic size: flattening must stay bounded.
  EXPECT_TRUE(helper.FillPath({{-1, -1, kPathMoveTo},
                               {1, -1, kPathCubic},
                               {1, 1, kPathCubic},
                               {-1, 1, kPathCubic},
                               {-1, -1, kPathLineTo}}));
  auto bitmap = helper.EndPaint();
  EXPECT_EQ(Alpha(*bitmap, 8, 8), 255);
}

TEST(RasterHelper, StrokeOutlinesALine) {
  TRasterHelper helper;
  helper.BeginPaint(20, 20, 0xFFFFFFFF);
  helper.SetStroke(true, 2);
  ASSERT_TRUE(helper.FillPath({{2, 10, kPathMoveTo}, {18, 10, kPathLineTo}}));
  auto bitmap = helper.EndPaint();
  EXPECT_EQ(Alpha(*bitmap, 10, 9), 255);
  EXPECT_EQ(Alpha(*bitmap, 10, 10), 255);
  EXPECT_EQ(Alpha(*bitmap, 10, 8), 0);
  EXPECT_EQ(Alpha(*bitmap, 10, 11), 0);
  EXPECT_EQ(Alpha(*bitmap, 1, 10), 0);

  // Mode 1 on a closed square: a ring 2 pixels wide, empty inside.
  helper.BeginPaint(20, 20, 0xFFFFFFFF);
  helper.SetStroke(true, 2, 1);
  ASSERT_TRUE(helper.FillPath(Rect(4, 4, 16, 16)));
  bitmap = helper.EndPaint();
  EXPECT_EQ(Alpha(*bitmap, 10, 10), 0);
  EXPECT_EQ(Alpha(*bitmap, 10, 4), 255);
  EXPECT_EQ(Alpha(*bitmap, 10, 3), 255);
  EXPECT_EQ(Alpha(*bitmap, 10, 1), 0);

  helper.BeginPaint(4, 4);
  helper.SetStroke(true, 0.00001f);
  EXPECT_TRUE(helper.FillPath(Rect(0, 0, 4, 4)));
  bitmap = helper.EndPaint();
  EXPECT_EQ(Alpha(*bitmap, 1, 1), 0);
}

TEST(RasterHelper, GradientColoursEachPixelByItsProjection) {
  TGradient gradient;
  gradient.originX = 0;
  gradient.directionX = 1;
  gradient.scale = 100;  // 1024 reached at about x = 10
  for (size_t i = 0; i < gradient.colors.size(); ++i)
    gradient.colors[i] = 0xFF000000u | static_cast<uint32_t>(i * 255 / 1024);
  TRasterHelper helper;
  helper.BeginPaint(16, 2, 0xFF000000);
  helper.SetGradient(gradient);
  helper.FillPath(Rect(0, 0, 16, 2));
  auto bitmap = helper.EndPaint();
  EXPECT_EQ(bitmap->Row(0)[0], 0);  // blue of x = 0
  EXPECT_EQ(bitmap->Row(0)[5 * 4], 500 * 255 / 1024);
  EXPECT_EQ(bitmap->Row(1)[15 * 4], 255);  // clamped
}

}  // namespace
}  // namespace vyr

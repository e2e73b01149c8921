#include "scene/animation/cubic_bezier.h"

#include <gtest/gtest.h>

#include <cmath>

#include "foundation/exceptions.h"

namespace vyr {
namespace {

// Independent reference: y of the exact Bezier for x, by bisection on t to 1e-12.
double ReferenceY(double x1, double y1, double x2, double y2, double x) {
  auto coord = [](double p1, double p2, double t) {
    const double u = 1 - t;
    return 3 * t * u * u * p1 + 3 * t * t * u * p2 + t * t * t;
  };
  double lo = 0, hi = 1;
  while (hi - lo > 1e-12) {
    const double mid = (lo + hi) / 2;
    (coord(x1, x2, mid) < x ? lo : hi) = mid;
  }
  return coord(y1, y2, (lo + hi) / 2);
}

struct TEase {
  float x1, y1, x2, y2;
};
const TEase kEases[] = {
    {0.42f, 0, 0.58f, 1},          {0.25f, 0.1f, 0.25f, 1}, {0, 0, 1, 1},
    {0.68f, -0.55f, 0.27f, 1.55f},  // overshooting back-ease
    {0.9f, 0.05f, 0.95f, 0.2f},
};

TEST(CubicBezier, SolveYMatchesTheExactCurveWithinTheFlatnessTolerance) {
  for (const TEase& e : kEases) {
    TCubicBezier curve({e.x1, e.y1}, {e.x2, e.y2});
    for (int i = 0; i <= 1000; ++i) {
      const double x = i / 1000.0;
      // A squared chord distance of 1e-6 allows about 1e-3 across the curve, which
      // is 1e-3 * sqrt(1 + slope^2) along y.
      const double y = ReferenceY(e.x1, e.y1, e.x2, e.y2, x);
      const double slope = (ReferenceY(e.x1, e.y1, e.x2, e.y2, x + 1e-4) - y) / 1e-4;
      EXPECT_NEAR(curve.SolveY(1e-6, x), y, 1.2e-3 * std::sqrt(1 + slope * slope))
          << "curve " << e.x1 << "," << e.y1 << "," << e.x2 << "," << e.y2 << " x " << x;
    }
  }
}

TEST(CubicBezier, StraightAndSymmetricCurves) {
  TCubicBezier straight({0, 0}, {1, 1});
  for (double x : {0.0, 0.1, 0.37, 0.5, 0.93, 1.0}) EXPECT_NEAR(straight.SolveY(1e-6, x), x, 1e-6);
  TCubicBezier ease({0.42f, 0}, {0.58f, 1});
  EXPECT_NEAR(ease.SolveY(1e-6, 0.5), 0.5, 1e-6);
  // B(0.5) by hand: 3/8 * P1 + 3/8 * P2 + 1/8 * P3.
  const TCurvePoint mid = ease.PointAt(0.5);
  EXPECT_FLOAT_EQ(mid.x, 0.375f * 0.42f + 0.375f * 0.58f + 0.125f);
  EXPECT_FLOAT_EQ(mid.y, 0.375f + 0.125f);
}

TEST(CubicBezier, PieceTableAgreesWithBisectionAndExtrapolatesAtTheEnds) {
  for (const TEase& e : kEases) {
    TCubicBezier curve({e.x1, e.y1}, {e.x2, e.y2});
    curve.BuildPieces(1e-6);
    ASSERT_FALSE(curve.Pieces().empty());
    double prevX1 = 0;
    for (const TKusochek& p : curve.Pieces()) {
      EXPECT_NEAR(p.x0, prevX1, 1e-7);  // pieces join in increasing x
      prevX1 = p.x1;
    }
    EXPECT_NEAR(prevX1, 1.0, 1e-7);
    for (int i = 0; i <= 1000; ++i) {
      const double x = i / 1000.0;
      EXPECT_NEAR(curve.LookupY(x), curve.SolveY(1e-6, x), 1e-3);
    }
    const TKusochek first = curve.Pieces().front();
    const TKusochek last = curve.Pieces().back();
    EXPECT_DOUBLE_EQ(curve.LookupY(-0.5), (-0.5 - first.x0) * first.slope + first.y0);
    EXPECT_DOUBLE_EQ(curve.LookupY(1.5), (1.5 - last.x0) * last.slope + last.y0);
  }
}

TEST(CubicBezier, CursorGivesTheSameAnswerWhicheverWayTheLookupsGo) {
  TCubicBezier walked({0.25f, 0.1f}, {0.25f, 1});
  walked.BuildPieces(1e-6);
  TCubicBezier fresh({0.25f, 0.1f}, {0.25f, 1});
  fresh.BuildPieces(1e-6);
  for (double x : {0.9, 0.1, 0.95, 0.0, 1.0, 0.5, 0.49, 0.51, -0.2, 1.2, 0.3}) {
    fresh.BuildPieces(1e-6);  // cursor back at the start
    EXPECT_DOUBLE_EQ(walked.LookupY(x), fresh.LookupY(x)) << x;
  }
}

TEST(CubicBezier, DegenerateControlPointsStayBounded) {
  TCubicBezier huge({1e30f, -1e30f}, {-1e30f, 1e30f});
  huge.BuildPieces(1e-6);
  EXPECT_LE(huge.Pieces().size(), size_t{1} << TCurveSeparator::kMaxPieceDepth);
  (void)huge.SolveY(1e-6, 0.5);  // ends; the value is meaningless
  TCubicBezier nan({NAN, 0}, {0.5f, 1});
  nan.BuildPieces(1e-6);
  EXPECT_EQ(nan.Pieces().size(), 1u);
  EXPECT_TRUE(std::isnan(nan.SolveY(1e-6, 0.5)));
}

TEST(CubicBezier, LookupWithoutPiecesIsAnAssertion) {
  TCubicBezier curve({0.42f, 0}, {0.58f, 1});
  EXPECT_THROW(curve.LookupY(0.5), EAssertionFailed);
}

}  // namespace
}  // namespace vyr

#pragma once
// The easing curve: a cubic Bezier from (0, 0) to (1, 1), evaluated as y for a given x,
// either by bisection on the curve or through a table of linear pieces.

#include <vector>

namespace vyr {

struct TCurvePoint {
  float x = 0;
  float y = 0;
};

// One linear piece of a flattened curve: y = (x - x0) * slope + y0 on [x0, x1].
struct TKusochek {
  double x0 = 0;
  double x1 = 0;
  double slope = 0;
  double y0 = 0;
};

// A curve that can be cut into flat intervals of its parameter.
class TCurveSeparator {
 public:
  virtual ~TCurveSeparator() = default;
  virtual TCurvePoint PointAt(double t) const = 0;

  // y on the curve for x by bisection of [t0, t1] down to a flat interval.
  double SolveY(double eps, double x, double t1 = 1, double t0 = 0) const;
  // Replaces the piece list by flat pieces of [t0, t1], in increasing t.
  void BuildPieces(double eps, double t1 = 1, double t0 = 0);
  // y from the piece list; the ends are extrapolated from the end pieces.
  double LookupY(double x);

  const std::vector<TKusochek>& Pieces() const { return pieces_; }

  // Deeper halving than this counts as flat, so that degenerate control points
  // (huge or not finite) cannot make the bisection run away.
  static constexpr int kMaxSolveDepth = 64;
  static constexpr int kMaxPieceDepth = 16;

 protected:
  bool IsFlat(double eps, double ta, double tb, const TCurvePoint& a, const TCurvePoint& c) const;

 private:
  void AddPieces(double eps, double t0, double t1, int depth);

  std::vector<TKusochek> pieces_;
  int cursor_ = 0;
};

class TCubicBezier : public TCurveSeparator {
 public:
  TCubicBezier() = default;
  TCubicBezier(TCurvePoint p1, TCurvePoint p2) : p1_(p1), p2_(p2) {}

  void SetControls(TCurvePoint p1, TCurvePoint p2) {
    p1_ = p1;
    p2_ = p2;
  }
  TCurvePoint P1() const { return p1_; }
  TCurvePoint P2() const { return p2_; }

  TCurvePoint PointAt(double t) const override;

 private:
  TCurvePoint p1_;
  TCurvePoint p2_;
};

}  // namespace vyr

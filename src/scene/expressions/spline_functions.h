#pragma once
// The easing curve as expression functions: QSplineGraph(x, x1, y1, x2, y2) solved by
// bisection, and its one-argument table form built when the control points are constants.

#include "scene/animation/cubic_bezier.h"
#include "scene/expressions/functions.h"

namespace vyr {

class TQSplineGraph : public TMathFunc {
 public:
  static constexpr double kEps = 0.000001;

  TQSplineGraph() : TMathFunc("QSplineGraph", 5, true) {}
  // The registry shares this function between threads, so each evaluation solves on
  // a curve of its own rather than on a member.
  void Apply(TCalcStack& stack) override;
  // With the four control values constant: the table form (consumes 4).
  TRef<TCalcFunc> Optimise(std::span<const double> trailing, int& consumed) override;
};

// Owned by one compiled program; only the lookup cursor changes between runs.
class TQSplineGraph_opt : public TCalcFunc {
 public:
  TQSplineGraph_opt(TCurvePoint p1, TCurvePoint p2);
  void Apply(TCalcStack& stack) override { stack.Top() = curve_.LookupY(stack.Top()); }
  const TCubicBezier& Curve() const { return curve_; }

 private:
  TCubicBezier curve_;
};

}  // namespace vyr

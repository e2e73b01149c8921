#include "scene/expressions/spline_functions.h"

#include <cstdio>

#include "scene/float_narrow.h"

namespace vyr {

namespace {

std::string FiveDigits(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5g", v);
  return buf;
}

std::string OptName(TCurvePoint p1, TCurvePoint p2) {
  return "QSplineGraph-opt(" + FiveDigits(p1.x) + ":" + FiveDigits(p1.y) + ";" + FiveDigits(p2.x) +
         ":" + FiveDigits(p2.y) + ")";
}

}  // namespace

void TQSplineGraph::Apply(TCalcStack& stack) {
  const float y2 = NarrowToFloat(stack.Pop());
  const float x2 = NarrowToFloat(stack.Pop());
  const float y1 = NarrowToFloat(stack.Pop());
  const float x1 = NarrowToFloat(stack.Pop());
  const TCubicBezier curve({x1, y1}, {x2, y2});
  stack.Top() = curve.SolveY(kEps, stack.Top());
}

TRef<TCalcFunc> TQSplineGraph::Optimise(std::span<const double> trailing, int& consumed) {
  consumed = 0;
  if (trailing.size() < 4) return nullptr;
  const double* c = trailing.data() + trailing.size() - 4;
  consumed = 4;
  return MakeRef<TQSplineGraph_opt>(TCurvePoint{NarrowToFloat(c[0]), NarrowToFloat(c[1])},
                                    TCurvePoint{NarrowToFloat(c[2]), NarrowToFloat(c[3])});
}

TQSplineGraph_opt::TQSplineGraph_opt(TCurvePoint p1, TCurvePoint p2)
    : TCalcFunc(OptName(p1, p2), 1, true), curve_(p1, p2) {
  curve_.BuildPieces(TQSplineGraph::kEps);
}

}  // namespace vyr

#include "scene/animation/cubic_bezier.h"

#include "foundation/exceptions.h"
#include "scene/float_narrow.h"

namespace vyr {

namespace {

double SquaredDistance(const TCurvePoint& p, double x, double y) {
  const double dx = p.x - x;
  const double dy = p.y - y;
  return dx * dx + dy * dy;
}

}  // namespace

TCurvePoint TCubicBezier::PointAt(double t) const {
  // P0 = (0, 0) contributes nothing; P3 = (1, 1) contributes t^3.
  const long double lt = t;
  const long double u = 1 - lt;
  const long double b1 = 3 * lt * u * u;
  const long double b2 = 3 * lt * lt * u;
  const long double b3 = lt * lt * lt;
  return {NarrowToFloat(b1 * p1_.x + b2 * p2_.x + b3), NarrowToFloat(b1 * p1_.y + b2 * p2_.y + b3)};
}

bool TCurveSeparator::IsFlat(double eps, double ta, double tb, const TCurvePoint& a,
                             const TCurvePoint& c) const {
  // The middle first: it fails most often. A distance that is not a number
  // (degenerate control points) does not split further.
  for (double u : {0.5, 0.25, 0.75}) {
    const TCurvePoint p = PointAt(ta + u * (tb - ta));
    const double d =
        SquaredDistance(p, a.x + u * (double(c.x) - a.x), a.y + u * (double(c.y) - a.y));
    if (d > eps) return false;
  }
  return true;
}

double TCurveSeparator::SolveY(double eps, double x, double t1, double t0) const {
  for (int depth = 0;; ++depth) {
    const TCurvePoint a = PointAt(t0);
    const TCurvePoint c = PointAt(t1);
    if (depth >= kMaxSolveDepth || IsFlat(eps, t0, t1, a, c)) {
      return a.y + (x - a.x) * (double(c.y) - a.y) / (double(c.x) - a.x);
    }
    const double tm = (t0 + t1) / 2;
    if (x <= PointAt(tm).x) {
      t1 = tm;
    } else {
      t0 = tm;
    }
  }
}

void TCurveSeparator::BuildPieces(double eps, double t1, double t0) {
  pieces_.clear();
  cursor_ = 0;
  AddPieces(eps, t0, t1, 0);
}

void TCurveSeparator::AddPieces(double eps, double t0, double t1, int depth) {
  const TCurvePoint a = PointAt(t0);
  const TCurvePoint c = PointAt(t1);
  if (depth >= kMaxPieceDepth || IsFlat(eps, t0, t1, a, c)) {
    pieces_.push_back({a.x, c.x, (double(c.y) - a.y) / (double(c.x) - a.x), a.y});
    return;
  }
  const double tm = (t0 + t1) / 2;
  AddPieces(eps, t0, tm, depth + 1);
  AddPieces(eps, tm, t1, depth + 1);
}

double TCurveSeparator::LookupY(double x) {
  VYR_ASSERT(!pieces_.empty());
  const int last = static_cast<int>(pieces_.size()) - 1;
  int i = cursor_ < 0 ? 0 : (cursor_ > last ? last : cursor_);
  if (x >= pieces_[i].x0) {
    while (x > pieces_[i].x1 && i < last) ++i;
  } else {
    while (i > 0 && x < pieces_[i].x0) --i;
  }
  cursor_ = i;
  const TKusochek& p = pieces_[i];
  return (x - p.x0) * p.slope + p.y0;
}

}  // namespace vyr

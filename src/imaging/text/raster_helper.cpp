#include "imaging/text/raster_helper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

#include "foundation/exceptions.h"

namespace vyr {

namespace {

constexpr int kMaxFlattenDepth = 32;
constexpr float kFlatEnough = 2.0f;  // pixels, in x and in y

float ClampCoordinate(float v) {
  if (!(v == v)) return 0;
  return std::clamp(v, -kMaxRasterCoordinate, kMaxRasterCoordinate);
}

TFloatPoint QuadraticBlossom(const TFloatPoint* c, float u, float v) {
  const float w0 = (1 - u) * (1 - v), w1 = (1 - u) * v + u * (1 - v), w2 = u * v;
  return {c[0].x * w0 + c[1].x * w1 + c[2].x * w2, c[0].y * w0 + c[1].y * w1 + c[2].y * w2};
}

TFloatPoint CubicBlossom(const TFloatPoint* c, float u, float v, float w) {
  const float w0 = (1 - u) * (1 - v) * (1 - w);
  const float w1 = u * (1 - v) * (1 - w) + (1 - u) * v * (1 - w) + (1 - u) * (1 - v) * w;
  const float w2 = u * v * (1 - w) + u * (1 - v) * w + (1 - u) * v * w;
  const float w3 = u * v * w;
  return {c[0].x * w0 + c[1].x * w1 + c[2].x * w2 + c[3].x * w3,
          c[0].y * w0 + c[1].y * w1 + c[2].y * w2 + c[3].y * w3};
}

bool CloseTogether(TFloatPoint a, TFloatPoint b) {
  return std::fabs(b.x - a.x) < kFlatEnough && std::fabs(b.y - a.y) < kFlatEnough;
}

// The path's shape: whether the commands can be drawn at all.
bool PathDrawable(const TPath& path) {
  if (path.empty() || path[0].command != kPathMoveTo) return false;
  for (size_t i = 0; i < path.size();) {
    switch (path[i].command) {
      case kPathMoveTo:
      case kPathLineTo:
        ++i;
        break;
      case kPathQuadratic:
        if (i + 1 >= path.size()) return false;
        i += 2;
        break;
      case kPathCubic:
        if (i + 2 >= path.size()) return false;
        i += 3;
        break;
      case kPathEnd:
        if (i + 1 < path.size() && path[i + 1].command != kPathMoveTo) return false;
        ++i;
        break;
      default:
        VYR_ASSERT_MSG(false, "Unknown Path Command");
    }
  }
  return true;
}

}  // namespace

TRasterHelper::~TRasterHelper() noexcept(false) {
  if (target_ && std::uncaught_exceptions() == 0)
    VYR_ASSERT_MSG(false, "Previous TRasterHelper.BeginPaint not Closed");
}

void TRasterHelper::BeginPaint(int32_t width, int32_t height, uint32_t color) {
  VYR_ASSERT_MSG(!target_, "Previous TRasterHelper.BeginPaint not Closed");
  VYR_ASSERT_MSG(width > 0 && height > 0, "TRasterHelper.BeginPaint: W or H = 0");
  color_ = color;
  target_ = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  const uint32_t clear = color & 0x00FFFFFFu;
  std::vector<uint8_t> row(size_t(width) * 4);
  for (int32_t x = 0; x < width; ++x) std::memcpy(row.data() + size_t(x) * 4, &clear, 4);
  for (int32_t y = 0; y < height; ++y) std::memcpy(target_->Row(y), row.data(), row.size());
}

TRef<TDirectBitmap> TRasterHelper::EndPaint() {
  VYR_ASSERT_MSG(target_, "No Previous Call of TRasterHelper.BeginPaint");
  TRef<TDirectBitmap> done = std::move(target_);
  target_ = nullptr;
  return done;
}

void TRasterHelper::MultiplyTransform(const TRasterMatrix& m) {
  const TRasterMatrix c = matrix_;
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col)
      matrix_[r * 3 + col] =
          c[r * 3] * m[col] + c[r * 3 + 1] * m[3 + col] + c[r * 3 + 2] * m[6 + col];
}

TFloatPoint TRasterHelper::Map(float x, float y) const {
  const auto& m = matrix_;
  return {ClampCoordinate(x * m[0] + y * m[3] + m[6]), ClampCoordinate(x * m[1] + y * m[4] + m[7])};
}

TRect TRasterHelper::ClipRect() const {
  TRect r{0, 0, target_->Width(), target_->Height()};
  if (clip_) {
    r.left = std::max(r.left, clip_->left);
    r.top = std::max(r.top, clip_->top);
    r.right = std::min(r.right, clip_->right);
    r.bottom = std::min(r.bottom, clip_->bottom);
  }
  return r;
}

// A curve piece that lies wholly left of, above, below or right of the clip changes no
// painted pixel's winding when drawn as its chord; this bounds the work on huge scales.
bool TRasterHelper::OutsideClip(const TFloatPoint* p, int count) const {
  const TRect clip = ClipRect();
  float minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
  for (int i = 1; i < count; ++i) {
    minX = std::min(minX, p[i].x);
    maxX = std::max(maxX, p[i].x);
    minY = std::min(minY, p[i].y);
    maxY = std::max(maxY, p[i].y);
  }
  return maxX < float(clip.left) - 1 || minX > float(clip.right) + 1 ||
         maxY < float(clip.top) - 1 || minY > float(clip.bottom) + 1;
}

void TRasterHelper::StartContour(TFloatPoint p) {
  EndContour();
  contourOpen_ = true;
  if (stroke_) {
    polyline_.assign(1, p);
  } else {
    outline_.MoveTo(p.x, p.y);
  }
}

void TRasterHelper::AddPoint(TFloatPoint p) {
  if (stroke_) {
    polyline_.push_back(p);
  } else {
    outline_.LineTo(p.x, p.y);
  }
}

void TRasterHelper::EndContour() {
  if (!contourOpen_) return;
  contourOpen_ = false;
  if (stroke_) {
    StrokePolyline();
  } else {
    outline_.CloseContour();
  }
}

void TRasterHelper::FlattenQuadratic(const TFloatPoint* c, float t0, float t1, TFloatPoint a,
                                     TFloatPoint b, int depth) {
  if (depth >= kMaxFlattenDepth || CloseTogether(a, b)) {
    AddPoint(b);
    return;
  }
  const TFloatPoint piece[3] = {a, QuadraticBlossom(c, t0, t1), b};
  if (OutsideClip(piece, 3)) {
    AddPoint(b);
    return;
  }
  const float tm = (t0 + t1) / 2;
  const TFloatPoint m = QuadraticBlossom(c, tm, tm);
  FlattenQuadratic(c, t0, tm, a, m, depth + 1);
  FlattenQuadratic(c, tm, t1, m, b, depth + 1);
}

void TRasterHelper::FlattenCubic(const TFloatPoint* c, float t0, float t1, TFloatPoint a,
                                 TFloatPoint b, int depth) {
  if (depth >= kMaxFlattenDepth || CloseTogether(a, b)) {
    AddPoint(b);
    return;
  }
  const TFloatPoint piece[4] = {a, CubicBlossom(c, t0, t0, t1), CubicBlossom(c, t0, t1, t1), b};
  if (OutsideClip(piece, 4)) {
    AddPoint(b);
    return;
  }
  const float tm = (t0 + t1) / 2;
  const TFloatPoint m = CubicBlossom(c, tm, tm, tm);
  FlattenCubic(c, t0, tm, a, m, depth + 1);
  FlattenCubic(c, tm, t1, m, b, depth + 1);
}

void TRasterHelper::Quadratic(TFloatPoint p0, TFloatPoint p1, TFloatPoint p2) {
  const TFloatPoint c[3] = {p0, p1, p2};
  FlattenQuadratic(c, 0, 1, p0, p2, 0);
}

void TRasterHelper::Cubic(TFloatPoint p0, TFloatPoint p1, TFloatPoint p2, TFloatPoint p3) {
  const TFloatPoint c[4] = {p0, p1, p2, p3};
  FlattenCubic(c, 0, 1, p0, p3, 0);
}

void TRasterHelper::StrokePolyline() {
  std::vector<TFloatPoint> points;
  points.reserve(polyline_.size() + 1);
  for (const TFloatPoint& p : polyline_)
    if (points.empty() || p.x != points.back().x || p.y != points.back().y) points.push_back(p);
  // A contour is always closed back to its start.
  if (points.size() > 2 &&
      (points.front().x != points.back().x || points.front().y != points.back().y))
    points.push_back(points.front());
  polyline_.clear();
  if (points.size() < 2) return;
  // Each segment is offset by half the pen width along its normal, forward on one side and
  // backward on the other; consecutive offset segments are joined straight (no round joins).
  const float half = penWidth_ / 2;
  std::vector<TFloatPoint> side;
  side.reserve((points.size() - 1) * 2);
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const float dx = points[i + 1].x - points[i].x, dy = points[i + 1].y - points[i].y;
    const float len = std::sqrt(dx * dx + dy * dy);
    const TFloatPoint n{-dy / len * half, dx / len * half};
    side.push_back({points[i].x + n.x, points[i].y + n.y});
    side.push_back({points[i + 1].x + n.x, points[i + 1].y + n.y});
  }
  outline_.MoveTo(side[0].x, side[0].y);
  for (size_t i = 1; i < side.size(); ++i) outline_.LineTo(side[i].x, side[i].y);
  // The other side: the same offsets mirrored, walked backwards.
  for (size_t k = side.size(); k-- > 0;) {
    const TFloatPoint& on = points[k / 2 + k % 2];
    const TFloatPoint p{2 * on.x - side[k].x, 2 * on.y - side[k].y};
    if (strokeMode_ == 1 && k + 1 == side.size()) {
      outline_.MoveTo(p.x, p.y);
    } else {
      outline_.LineTo(p.x, p.y);
    }
  }
  outline_.CloseContour();
}

void TRasterHelper::Rasterize() {
  EndContour();
  outline_.Finish();
  const TRect clip = ClipRect();
  if (!clip.Empty()) {
    TPaintSpanConsumer consumer(*target_, clip, color_, gradient_ ? &*gradient_ : nullptr);
    rasterizer_.Rasterize(outline_, clip.right, clip.bottom, consumer, cancel_);
  }
  outline_.Clear();
}

bool TRasterHelper::FillPath(const TPath& path, bool evenOdd) {
  VYR_ASSERT_MSG(target_, "No Previous Call of TRasterHelper.BeginPaint");
  if (!PathDrawable(path)) return false;
  if (stroke_ && penWidth_ < 0.0001f) return true;
  outline_.Clear();
  outline_.SetEvenOdd(evenOdd);
  contourOpen_ = false;
  TFloatPoint current{};
  for (size_t i = 0; i < path.size(); ++i) {
    const TPathPoint& p = path[i];
    switch (p.command) {
      case kPathMoveTo:
        current = Map(p.x, p.y);
        StartContour(current);
        break;
      case kPathLineTo:
        current = Map(p.x, p.y);
        AddPoint(current);
        break;
      case kPathQuadratic: {
        const TFloatPoint end = Map(path[i + 1].x, path[i + 1].y);
        Quadratic(current, Map(p.x, p.y), end);
        current = end;
        i += 1;
        break;
      }
      case kPathCubic: {
        const TFloatPoint end = Map(path[i + 2].x, path[i + 2].y);
        Cubic(current, Map(p.x, p.y), Map(path[i + 1].x, path[i + 1].y), end);
        current = end;
        i += 2;
        break;
      }
      case kPathEnd:
        EndContour();
        break;
    }
  }
  Rasterize();
  return true;
}

void TRasterHelper::FillPolygon(const std::vector<TFloatPoint>& points, bool evenOdd) {
  VYR_ASSERT_MSG(target_, "No Previous Call of TRasterHelper.BeginPaint");
  if (points.empty() || (stroke_ && penWidth_ < 0.0001f)) return;
  outline_.Clear();
  outline_.SetEvenOdd(evenOdd);
  contourOpen_ = false;
  StartContour(Map(points[0].x, points[0].y));
  for (size_t i = 1; i < points.size(); ++i) AddPoint(Map(points[i].x, points[i].y));
  Rasterize();
}

}  // namespace vyr

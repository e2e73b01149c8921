#include "render/transitions/roll_effect.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vyr {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kStep = kPi / 24;  // angle of one strip on the cylinder
constexpr int kMaxStrips = 600;
// How much a pipe's radius shrinks per turn, so that its layers lie apart.
constexpr double kShrinkPerTurn = 0.06;

uint32_t ScaleColour(uint32_t argb, double factor) {
  uint32_t result = argb & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    result |= static_cast<uint32_t>(ColourByte(((argb >> shift) & 0xFF) * factor)) << shift;
  return result;
}

}  // namespace

TRollEffect2::TRollEffect2(int kind, int mode, bool pipe, int radius, bool useColor, int32_t colour,
                           bool useVolume, float volume)
    : kind_(kind),
      mode_(std::clamp(mode, 1, 8)),
      pipe_(pipe),
      radius_(static_cast<float>(radius)),
      useColor_(useColor),
      useVolume_(useVolume),
      volume_(volume) {
  // Projects keep colours as 0x00BBGGRR.
  const uint32_t c = static_cast<uint32_t>(colour);
  backColour_ = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  reversed_ = mode_ <= 4;
}

void TRollEffect2::Init(const TIntRect& rect, float smoothing, float duration) {
  TDrawFilter::Init(rect, smoothing, duration);
  reversed_ = mode_ <= 4;
  const double l = rect.left, r = rect.right, t = rect.top, b = rect.bottom;
  const int where = (mode_ - 1) % 4;
  if (kind_ == 15) {
    static constexpr int kCorners[4][2] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    const int cx = kCorners[where][0], cy = kCorners[where][1];
    startX_ = cx ? r : l;
    startY_ = cy ? b : t;
    const double toX = (cx ? l : r) - startX_, toY = (cy ? t : b) - startY_;
    const double n = std::max(std::hypot(toX, toY), 1e-9);
    dX_ = toX / n;
    dY_ = toY / n;
  } else {
    static constexpr double kEdges[4][4] = {
        {1, 0, -1, 0}, {0, 1, 0, -1}, {0, 0, 1, 0}, {0, 0, 0, 1}};  // start (fractions), D
    startX_ = l + kEdges[where][0] * (r - l);
    startY_ = t + kEdges[where][1] * (b - t);
    dX_ = kEdges[where][2];
    dY_ = kEdges[where][3];
  }
  fX_ = -dY_;
  fY_ = dX_;
  length_ = 0;
  along0_ = along1_ = 0;
  bool first = true;
  for (double x : {l, r})
    for (double y : {t, b}) {
      const double along = (x - startX_) * fX_ + (y - startY_) * fY_;
      length_ = std::max(length_, (x - startX_) * dX_ + (y - startY_) * dY_);
      along0_ = first ? along : std::min(along0_, along);
      along1_ = first ? along : std::max(along1_, along);
      first = false;
    }
  if (radius_ <= 0) radius_ = static_cast<float>(0.06 * (rect.Width() + rect.Height()) / 2);
  radius_ = std::max(radius_, 1.0f);
}

double TRollEffect2::FoldPosition() const {
  // Far enough at the end that the whole roll has left the rectangle.
  const double travel = length_ + radius_ + 2;
  return (reversed_ ? Progress() : 1 - Progress()) * travel;
}

void TRollEffect2::CurlPoint(double s, double f, TVec3& position, TVec3& normal) const {
  // Coordinates: e back toward the start line (-D), z toward the viewer negative.
  double e = 0, z = 0, ne = 0, nz = -1;
  const double r = radius_;
  if (s <= 0) {
    e = s;  // flat, still lying on the slide
  } else if (!pipe_ && s > kPi * r) {
    e = -(s - kPi * r);  // folded over onto the page, back side up
    z = -2 * r;
    nz = 1;
  } else {
    const double phi = s / r;
    const double rho = pipe_ ? r * std::max(0.25, 1 - kShrinkPerTurn * phi / (2 * kPi)) : r;
    e = rho * std::sin(phi);
    z = -(r - rho * std::cos(phi));
    ne = -std::sin(phi);
    nz = -std::cos(phi);
  }
  const double foldX = startX_ + dX_ * fold_ + fX_ * f, foldY = startY_ + dY_ * fold_ + fY_ * f;
  position = TVec3{static_cast<float>(foldX - dX_ * e), static_cast<float>(foldY - dY_ * e),
                   static_cast<float>(z)};
  normal =
      TVec3{static_cast<float>(-dX_ * ne), static_cast<float>(-dY_ * ne), static_cast<float>(nz)};
}

uint32_t TRollEffect2::StripColour(const TVec3& position, const TVec3& normal, const TVec3& eye,
                                   bool& textured) const {
  const double vx = eye.x - position.x, vy = eye.y - position.y, vz = eye.z - position.z;
  const double facing = (normal.x * vx + normal.y * vy + normal.z * vz) /
                        std::max(std::sqrt(vx * vx + vy * vy + vz * vz), 1e-9);
  const bool front = facing > 0;
  double shade = 1;
  if (useVolume_) shade = 1 - std::min(1.0, 4.0 * volume_) * (1 - std::fabs(facing));
  textured = front || !useColor_;
  if (front) return ScaleColour(0xFFFFFFFFu, shade);
  return ScaleColour(useColor_ ? backColour_ : 0xFFFFFFFFu, useColor_ ? shade : 0.7 * shade);
}

void TRollEffect2::EmitStrip(TEffController& renderer, double s0, double s1,
                             const TVec3& eye) const {
  TVec3 p[4], n[4];
  const double ss[4] = {s0, s0, s1, s1}, fs[4] = {along0_, along1_, along0_, along1_};
  TEffVertex v[4];
  for (int i = 0; i < 4; ++i) {
    CurlPoint(ss[i], fs[i], p[i], n[i]);
    const double t = fold_ - ss[i];
    v[i].sx = static_cast<float>(startX_ + dX_ * t + fX_ * fs[i]);
    v[i].sy = static_cast<float>(startY_ + dY_ * t + fY_ * fs[i]);
    v[i].x = p[i].x;
    v[i].y = p[i].y;
    v[i].z = p[i].z;
  }
  TVec3 middle, normal;
  CurlPoint((s0 + s1) / 2, (along0_ + along1_) / 2, middle, normal);
  bool textured = true;
  const uint32_t colour = StripColour(middle, normal, eye, textured);
  for (TEffVertex& vertex : v) vertex.colour = colour;
  if (textured) {
    renderer.AddQuad(v[0], v[1], v[2], v[3]);
  } else {
    renderer.AddColourTriangle(v[0], v[1], v[2]);
    renderer.AddColourTriangle(v[1], v[3], v[2]);
  }
}

void TRollEffect2::Draw(TEffController& renderer) {
  fold_ = FoldPosition();
  const TVec3 eye = renderer.Eye();
  // The flat rest of the page lies behind everything curled.
  if (fold_ < length_) EmitStrip(renderer, fold_ - length_ - 1, 0, eye);
  const double curled = fold_;  // the page between the start line and the fold
  if (curled <= 0) return;
  const double r = radius_;
  const double onCylinder = pipe_ ? curled : std::min(curled, kPi * r);
  double step = kStep * r;
  if (onCylinder / step > kMaxStrips) step = onCylinder / kMaxStrips;
  std::vector<TStrip> strips;
  for (double s = 0; s < onCylinder; s += step) {
    const double s1 = std::min(s + step, onCylinder);
    TVec3 p, n;
    CurlPoint((s + s1) / 2, 0, p, n);
    strips.push_back(TStrip{s, s1, p.z});
  }
  if (!pipe_ && curled > onCylinder)
    strips.push_back(TStrip{onCylinder, curled + 1, -2.0f * radius_});
  std::stable_sort(strips.begin(), strips.end(),
                   [](const TStrip& a, const TStrip& b) { return a.depth > b.depth; });
  for (const TStrip& strip : strips) EmitStrip(renderer, strip.s0, strip.s1, eye);
}

}  // namespace vyr

#include "scene/objects/frame_computation.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "scene/objects/object_keys.h"

namespace vyr {

void ReadBorderKeys(const TIniObject* o, TBorderParams& border) {
  border.enableBorder = KeyBool(o, "EnableBorder", false);
  border.enableCrop = KeyBool(o, "EnableCrop", false);
  border.enableAspect = KeyBool(o, "EnableAspect", false);
  border.borderWidth = KeyFloat(o, "BorderWidth", 1.5f);
  border.borderColor = KeyColor(o, "BorderColor", 0xFFFFFFFF);
  // Crop insets count only when all four are given.
  const std::vector<double> crop = KeyNumbers(o, "CropRect");
  for (int i = 0; i < 4; ++i) border.crop[i] = crop.size() == 4 ? static_cast<float>(crop[i]) : 0;
  border.aspect = KeyFloat(o, "Aspect", 0);
}

TBorderParams FrameWorkingCopy(const TBorderParams& params, float zoom, float offsetX,
                               float offsetY) {
  TBorderParams copy = params;
  copy.aspect = params.enableAspect ? params.aspect : 0;
  const double z = 100.0 / (double(zoom) * 0.01);
  copy.zoom = std::isfinite(z) ? static_cast<float>(z) : 100;
  copy.offsetX = std::isfinite(offsetX) ? offsetX : 0;
  copy.offsetY = std::isfinite(offsetY) ? offsetY : 0;
  return copy;
}

namespace {

bool Framed(const TBorderParams& p) {
  return p.enableAspect || p.zoom != 100 || p.offsetX != 0 || p.offsetY != 0;
}

// Limits r to the picture; degenerate sides are widened to one pixel first.
TFloatRect LimitToPicture(TFloatRect r, float w, float h) {
  if (!(r.Width() >= 0.001f)) {
    if (r.right >= w - 1.01f && r.right <= w + 1.01f)
      r.left = r.right - 1;
    else
      r.right = r.left + 1;
  }
  if (!(r.Height() >= 0.001f)) {
    if (r.bottom >= h - 1.01f && r.bottom <= h + 1.01f)
      r.top = r.bottom - 1;
    else
      r.bottom = r.top + 1;
  }
  TFloatRect cut{std::max(r.left, 0.0f), std::max(r.top, 0.0f), std::min(r.right, w),
                 std::min(r.bottom, h)};
  if (r.Width() > 0 && r.Height() > 0 && !cut.Empty()) return cut;
  return {0, 0, w, h};
}

}  // namespace

TFrameResult ComputeFrame(const TBorderParams& p, float pictureWidth, float height,
                          float pixelAspect) {
  const float a = pixelAspect > 0.001f ? pixelAspect : 1;
  const float w = pictureWidth * a;
  TFloatRect r{0, 0, w, height};
  float dw = w, dh = height;
  if (Framed(p) && w > 0 && height > 0) {
    const float ratio = w / height;
    const float aspect = p.aspect <= 0.001f ? ratio : p.aspect;
    TFloatRect window;
    if (aspect > ratio) {
      const float d = w / aspect;
      window = {0, (height - d) / 2, w, (height + d) / 2};
    } else {
      const float d = aspect * height;
      window = {(w - d) / 2, 0, (w + d) / 2, height};
    }
    const float z = (p.zoom < 0.001f || p.zoom > 100) ? 100 : p.zoom;
    dw = window.Width() * z / 100;
    dh = window.Height() * z / 100;
    const float cx = (window.left + window.right) / 2, cy = (window.top + window.bottom) / 2;
    const float ox = std::clamp(p.offsetX, -100.0f, 100.0f);
    const float oy = std::clamp(p.offsetY, -100.0f, 100.0f);
    const float hx = (w - dw) / 2 * ox / 100, hy = (height - dh) / 2 * oy / 100;
    r = {cx - dw / 2 + hx, cy - dh / 2 + hy, cx + dw / 2 + hx, cy + dh / 2 + hy};
  }
  TFrameResult result;
  result.margin = p.enableBorder ? r.Height() * p.borderWidth / 100 : 0;
  TFloatRect visible = r;
  if (p.enableCrop) {
    visible = {r.left + p.crop[0] / 100 * dw, r.top + p.crop[1] / 100 * dh,
               r.right - p.crop[2] / 100 * dw, r.bottom - p.crop[3] / 100 * dh};
  }
  visible.left /= a;
  visible.right /= a;
  result.visible = LimitToPicture(visible, pictureWidth, height);
  result.contentWidth = result.visible.Width() * a + 2 * result.margin;
  result.contentHeight = result.visible.Height() + 2 * result.margin;
  return result;
}

int ReductionLevel(double neededWidth, double neededHeight, double visibleWidth,
                   double visibleHeight, int minimumLevel) {
  const double w = std::max(1.0, std::round(1.3333 * neededWidth));
  const double h = std::max(1.0, std::round(1.3333 * neededHeight));
  if (!(w <= INT_MAX) || !(h <= INT_MAX)) return std::max(0, minimumLevel);
  double c = visibleWidth, d = visibleHeight;
  int level = -1;
  while (w < c && d > h && level < 30) {
    ++level;
    c = std::ceil(c / 2);
    d = std::ceil(d / 2);
  }
  return std::max({level, 0, minimumLevel});
}

int AnimationFrame(const TImageAnimationParams& p, double slideTime) {
  const int n = std::min(p.count, std::max(p.columns, 1) * std::max(p.rows, 1));
  if (!p.enabled || n <= 1 || (p.columns <= 1 && p.rows <= 1)) return 0;
  std::vector<double> durations(n, 100);
  for (int i = 0; i < n && !p.intervals.empty(); ++i) {
    const int written = p.intervals[std::min<size_t>(i, p.intervals.size() - 1)];
    durations[i] = written > 0 ? written : 100;
  }
  double total = 0;
  for (double d : durations) total += d;
  double e = slideTime - p.offset;
  if (!(e > 0)) return 0;
  // Whole passes first, so long times cost nothing.
  const double passes = std::ceil(e / total) - 1;
  if (p.repeatCount > 0 && passes >= p.repeatCount) return n - 1;
  e -= passes * total;
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    sum += durations[i];
    if (sum >= e) return i;
  }
  return n - 1;
}

}  // namespace vyr

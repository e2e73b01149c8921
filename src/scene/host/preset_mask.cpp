#include "scene/host/preset_mask.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/bitmap/pixel_format.h"
#include "project/ini/values.h"
#include "scene/host/picture_limits.h"
#include "scene/host/reserved_names.h"

namespace vyr {
namespace {

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t colon = text.find(':', start);
    fields.push_back(text.substr(start, colon - start));
    if (colon == std::string_view::npos) return fields;
    start = colon + 1;
  }
}

double Ease(double x) { return x < 0.5 ? 2 * x * x : 1 - 2 * (1 - x) * (1 - x); }

// The rounded rectangle's value at (x, y): corner squares of side c measure from the corner
// circle's centre, the bands along the edges from the centre lines, the rest is white.
uint8_t RoundedRectangleValue(int32_t x, int32_t y, int32_t w, int32_t h, int32_t c, double f) {
  const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
  const bool left = x < c, right = x >= w - c, top = y < c, bottom = y >= h - c;
  if ((left || right) && (top || bottom)) {
    const double ccx = left ? c : w - c - 1, ccy = top ? c : h - c - 1;
    return PresetMaskValue(std::hypot(x - ccx, y - ccy), c, f);
  }
  if (top || bottom) return PresetMaskValue(std::fabs(y - cy), cy, f);
  if (left || right) return PresetMaskValue(std::fabs(x - cx), cx, f);
  return 255;
}

uint8_t EllipseValue(int32_t x, int32_t y, int32_t w, int32_t h, double f) {
  const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
  const double dy = (y - cy) * w / h;
  return PresetMaskValue(std::sqrt((x - cx) * (x - cx) + dy * dy), cx, f);
}

}  // namespace

TPresetMaskParams ParsePresetMaskName(std::string_view fields) {
  TPresetMaskParams params;
  const std::vector<std::string_view> parts = SplitFields(fields);
  auto field = [&](size_t i) { return i < parts.size() ? parts[i] : std::string_view(); };
  int32_t value = 0;
  if (ParseInt32(field(0), value)) params.width = value;
  if (ParseInt32(field(1), value)) params.height = value;
  if (ParseInt32(field(2), value) && value == 1) params.kind = TPresetMaskKind::Ellipse;
  double real = 0;
  if (ParseFloat(field(3), real) && std::isfinite(real)) params.feather = real;
  if (ParseFloat(field(4), real) && std::isfinite(real)) params.radius = real;
  return params;
}

std::string PresetMaskName(const TPresetMaskParams& params) {
  return std::string(kPresetMaskPrefix) + std::to_string(params.width) + ":" +
         std::to_string(params.height) + ":" + std::to_string(static_cast<int>(params.kind)) + ":" +
         FormatFloat(params.feather) + ":" + FormatFloat(params.radius);
}

uint8_t PresetMaskValue(double d, double r, double f) {
  if (d > r) return 0;
  if (d < r - f) return 255;
  // With no band only the boundary itself is left; it counts as inside.
  if (!(f > 0)) return 255;
  const double eased = std::nearbyint(Ease((f + d - r) / f) * 255);
  return static_cast<uint8_t>(std::clamp(255.0 - eased, 0.0, 255.0));
}

TRef<TDirectBitmap> GeneratePresetMask(const TPresetMaskParams& params,
                                       const std::function<bool()>& goOn) {
  const int32_t w = params.width, h = params.height;
  if (!WithinPictureLimits(w, h)) return nullptr;
  auto mask = MakeRef<TDirectBitmap>(w, h, pf::R8G8B8());
  const int32_t s = std::min(w / 2, h / 2);
  const bool ellipse = params.kind == TPresetMaskKind::Ellipse;
  // Any radius parses: keep the integer conversion defined (no negative or giant corners).
  const double radius = std::isfinite(params.radius) ? params.radius : 0;
  const double feather = std::isfinite(params.feather) ? params.feather : 0;
  const auto c = static_cast<int32_t>(std::clamp(std::trunc(s * radius / 100), 0.0, 1e9));
  const double f = ellipse ? s * feather / 100 : c * feather / 100 + 1;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = mask->Row(y);
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t v =
          ellipse ? EllipseValue(x, y, w, h, f) : RoundedRectangleValue(x, y, w, h, c, f);
      std::memset(row + 3 * x, v, 3);
    }
    if (goOn && !goOn()) return nullptr;
  }
  return mask;
}

}  // namespace vyr

#include "scene/button/button_width.h"

#include <algorithm>
#include <cmath>

#include "scene/button/button_compose.h"

namespace vyr {

namespace {
// Rounded and kept within the widths a button picture can have.
double Bounded(double v) { return std::isfinite(v) ? std::clamp(std::round(v), -1e9, 1e9) : 0; }
}  // namespace

int ButtonWidth(int height, double minWidth, double captionScale, double aspect, double offsetX) {
  const double h = height;
  const double captionHeight = h - Bounded((100 - captionScale) * h / 100);
  const double width = std::max(
      {h, Bounded(h * minWidth / 100), Bounded(captionHeight * aspect + h * offsetX / 100)});
  return static_cast<int>(std::min<double>(width, kMaxButtonWidth));
}

}  // namespace vyr

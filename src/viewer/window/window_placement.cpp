#include "viewer/window/window_placement.h"

#include <algorithm>
#include <cmath>

namespace vyr {

TWindowPlacement PlaceShowWindow(int width, int height, int mode, const TIntRect& workArea,
                                 int frameWidth, int frameHeight) {
  if (width <= 0 || height <= 0) {
    width = 640;
    height = 480;
  }
  if (mode != kModeBordered) frameWidth = frameHeight = 0;
  const int areaWidth = workArea.Width(), areaHeight = workArea.Height();
  TWindowPlacement placement;
  if (mode == kModeFullScreen) {
    placement.clientWidth = areaWidth;
    placement.clientHeight = areaHeight;
  } else {
    placement.clientWidth = width;
    placement.clientHeight = height;
    if (width + frameWidth > areaWidth || height + frameHeight > areaHeight) {
      const double s = std::min(static_cast<double>(areaHeight - frameHeight) / height,
                                static_cast<double>(areaWidth - frameWidth) / width);
      placement.clientWidth = static_cast<int>(std::lround(width * s));
      placement.clientHeight = static_cast<int>(std::lround(height * s));
    }
  }
  const int outerWidth = placement.clientWidth + frameWidth;
  const int outerHeight = placement.clientHeight + frameHeight;
  const int left = workArea.left + (areaWidth - outerWidth) / 2;
  const int top = workArea.top + (areaHeight - outerHeight) / 2;
  placement.outer = TIntRect{left, top, left + outerWidth, top + outerHeight};
  return placement;
}

}  // namespace vyr

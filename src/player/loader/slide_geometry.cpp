#include "player/loader/slide_geometry.h"

#include <algorithm>
#include <cmath>

#include "foundation/exceptions.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

// Halves go to the even neighbour, as the player has always rounded.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

double PresentationAspect(const TIniFile* project, TIntSize presentation, TIntSize window) {
  if (ReadInt(project, "Main", "MinorVersion", 13) > 12) {
    VYR_ASSERT_MSG(presentation.height > 0, "ZeroSize of Presentation!");
    return static_cast<double>(presentation.width) / presentation.height;
  }
  double aspect = window.height > 0 ? static_cast<double>(window.width) / window.height : 1.0;
  if (FindKey(FindSection(project, "Main"), "opt_scr_ratio"))
    aspect = ReadFloat(project, "Main", "opt_scr_ratio", aspect);
  return aspect;
}

TIntSize SlideSizeOf(const TSlideGeometryInput& in) {
  const double windowW = in.window.width;
  const double windowH = in.window.height;
  double width = 0;
  double height = 0;
  if (in.fixedSize) {
    width = in.presentation.width;
    height = in.presentation.height;
    if (width > 0 && height > 0) {
      double factor = std::min(windowW / width, windowH / height);
      if (!in.upscaleFixed) factor = std::min(factor, 1.0);
      width *= factor;
      height *= factor;
    }
  } else if (in.fit == TSlideFit::Stretch) {
    width = windowW;
    height = windowH;
  } else {
    width = RoundEven(windowH * in.aspect);
    height = windowH;
    if (width > 0 && height > 0) {
      const double fx = windowW / width;
      const double fy = windowH / height;
      const double factor = in.fit == TSlideFit::Cover ? std::max(fx, fy) : std::min(fx, fy);
      if (factor != 1) {
        width *= factor;
        height *= factor;
      }
    }
  }
  TIntSize size{RoundEven(width * in.scaleX / 100), RoundEven(height * in.scaleY / 100)};
  // An odd side that still fits is made even, so that the slide centres on whole pixels.
  if (size.width % 2 != 0 && size.width < in.window.width) ++size.width;
  if (size.height % 2 != 0 && size.height < in.window.height) ++size.height;
  return size;
}

TIntRect SlideRectOf(TIntSize window, TIntSize slide) {
  const int left = RoundEven(window.width / 2.0 - slide.width / 2.0);
  const int top = RoundEven(window.height / 2.0 - slide.height / 2.0);
  TIntRect rect{std::max(left, 0), std::max(top, 0), std::min(window.width, left + slide.width),
                std::min(window.height, top + slide.height)};
  if (rect.Empty()) rect = TIntRect{};
  return rect;
}

}  // namespace vyr

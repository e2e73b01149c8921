#include "scene/video/clip_timing.h"

#include <algorithm>
#include <cmath>

namespace vyr {

int FrameIndexOfTime(double ms, double fps, int frameCount, bool loop) {
  if (!(fps > 0) || frameCount <= 0) return 0;
  const double exact = ms * fps / 1000;
  if (!(exact > 0)) return 0;
  // The default rounding mode sends halves to the even neighbour.
  const double rounded = std::nearbyint(exact);
  if (rounded >= frameCount) {
    if (!loop) return frameCount - 1;
    return static_cast<int>(std::fmod(rounded, static_cast<double>(frameCount)));
  }
  return static_cast<int>(rounded);
}

TInterval DisplayInterval(int index, double fps) {
  if (!(fps > 0)) return {};
  return {(index - 0.5) * 1000 / fps, (index + 0.5) * 1000 / fps};
}

void ClampToLength(TClipTiming& timing, double lengthMs) {
  if (timing.duration < 0 || timing.duration > lengthMs) timing.duration = lengthMs;
  if (timing.startInClip < 0 || timing.startInClip > lengthMs) timing.startInClip = 0;
}

double ClipTimeOf(const TClipTiming& t, double x, double appearance) {
  const double b = std::max(appearance, t.start);
  if (x < b) return t.startInClip;
  const double m = t.multiplier;
  if (!(m > 0)) return t.startInClip;
  return t.startInClip + m * std::min(x - t.start, t.duration / m);
}

int FieldChoice(TDeinterlace type, const TVideoSourceInfo& info, const TInterval& interval,
                double t) {
  const bool firstHalf = t < (interval.start + interval.end) / 2;
  switch (type) {
    case TDeinterlace::Auto:
      if (!info.interlaced) return 0;
      return firstHalf == info.topFieldFirst ? 2 : 1;
    case TDeinterlace::Wave:
      return 0;
    case TDeinterlace::BobEven:
      return firstHalf ? 1 : 2;
    case TDeinterlace::BobOdd:
      return firstHalf ? 2 : 1;
  }
  return 0;
}

double PixelAspect(int aspectCode, int width, int height) {
  if (width <= 0 || height <= 0) return 1;
  switch (aspectCode) {
    case 1:
      return height * 1.333333 / width;
    case 2:
      return height * 1.777778 / width;
    default:
      return 1;
  }
}

}  // namespace vyr

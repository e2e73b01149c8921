#include "render/transitions/soft_bands.h"

namespace vyr {

double SCurve(double x) {
  return x < 127.5 ? x * x / 128.0 : 255.0 - (255.0 - x) * (255.0 - x) / 128.0;
}

std::vector<TSoftBand> SoftBands(double r, double smoothing, double extent) {
  std::vector<TSoftBand> bands;
  const double a = r, c = r - smoothing;
  if (c > 0) bands.push_back(TSoftBand{0, c, 255, 255});
  double previous = 0, previousAlpha = 255;
  if (c >= 0)
    previous = c;
  else if (a > c)  // the fade starts inside the centre, partly transparent already
    previousAlpha = 255 - SCurve(-c * 255 / (a - c));
  for (int i = 1; i <= kSoftBandCount; ++i) {
    const double x = i * 255.0 / kSoftBandCount;
    const double f = c + x * (a - c) / 255;
    const double alpha = 255 - SCurve(x);
    if (f <= 0) continue;
    if (previous >= extent) break;
    if (f - previous < 2 && i < kSoftBandCount) continue;  // merges into the next band
    if (f > previous) bands.push_back(TSoftBand{previous, f, previousAlpha, alpha});
    previous = f;
    previousAlpha = alpha;
  }
  return bands;
}

}  // namespace vyr

#pragma once
// The soft edge of the shape masks: the slide is opaque inside distance r - smoothing,
// fades along a fixed S-curve to transparent at distance r, and is transparent beyond.
// The fade is cut into 14 bands with linear alpha each.

#include <vector>

namespace vyr {

struct TSoftBand {
  double inner = 0, outer = 0;            // distances from the shape's centre
  double innerAlpha = 0, outerAlpha = 0;  // 0..255
};

constexpr int kSoftBandCount = 14;

// S(x) for x in 0..255: x^2 / 128 below 127.5, else 255 - (255 - x)^2 / 128.
double SCurve(double x);

// The bands at radius r with the given smoothing width inside a shape whose distances end
// at extent (bands starting at or beyond it are left out). The first band is the opaque
// core when r - smoothing > 0; bands narrower than 2 pixels merge into the next.
std::vector<TSoftBand> SoftBands(double r, double smoothing, double extent);

}  // namespace vyr

#include "video/video_cube.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "imaging/colour/color_profile.h"
#include "imaging/colour/color_transform.h"
#include "package/access/show_color_management.h"
#include "scene/filters/managed_cube.h"

namespace vyr {

namespace {

uint8_t Channel(double value) {
  // Truncated toward zero, then limited to 0 ... 255.
  return static_cast<uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

TColorLut YuvCube() {
  constexpr int n = TColorLut::kCubeSide;
  TColorLut cube(n, n * n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) {
        uint8_t* e = cube.Entry(k, i * n + j);
        YuvToRgb(TColorLut::CubeLevel(i), TColorLut::CubeLevel(j), TColorLut::CubeLevel(k), e[2],
                 e[1], e[0]);
        e[3] = 255;
      }
  return cube;
}

void Transform(TColorLut& cube, bool rgba) {
  if (TRef<TColorTransform> transform =
          MakeColorTransform(BuiltinProfile(rgba ? "sRGB" : "YUVsRGB"), OutputProfileOrSRGB()))
    TransformCube(cube, *transform);
}

}  // namespace

void YuvToRgb(int yLevel, int uLevel, int vLevel, uint8_t& red, uint8_t& green, uint8_t& blue) {
  const double y = (yLevel - 16) * 1.1643835616438356;
  const double u = uLevel - 128, v = vLevel - 128;
  red = Channel(y + 1.596 * v);
  green = Channel(y - 0.813 * v - 0.391 * u);
  blue = Channel(y + 2.018 * u);
}

const TColorLut& VideoColourCube(bool rgba, bool colourManagement) {
  struct TKey {
    bool rgba, managed;
    const TColorProfile* display;
    bool operator<(const TKey& o) const {
      return std::tie(rgba, managed, display) < std::tie(o.rgba, o.managed, o.display);
    }
  };
  static std::mutex lock;
  static std::map<TKey, TColorLut> cubes;
  static std::vector<TRef<TColorProfile>> keptProfiles;  // keep the keys' profiles alive
  const bool managed = colourManagement && !ColorManagementOff();
  TRef<TColorProfile> display = managed ? OutputProfileOrSRGB() : nullptr;
  std::lock_guard guard(lock);
  const TKey key{rgba, managed, display.Get()};
  auto it = cubes.find(key);
  if (it != cubes.end()) return it->second;
  TColorLut cube = rgba ? TColorLut::IdentityCube() : YuvCube();
  if (managed) {
    Transform(cube, rgba);
    keptProfiles.push_back(display);
  }
  return cubes.emplace(key, std::move(cube)).first->second;
}

}  // namespace vyr

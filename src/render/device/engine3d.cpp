#include "render/device/device3d.h"

namespace vyr {

int T3DEngine::BestAdapter(const TIntRect& rect) {
  int best = 0;
  long long bestArea = 0;
  for (int i = 0; i < AdapterCount(); ++i) {
    TAdapterMode mode;
    if (!AdapterMode(i, mode)) continue;
    const long long area = Area(Intersect(mode.monitor, rect));
    if (area > bestArea) {
      bestArea = area;
      best = i;
    }
  }
  return best;
}

int T3DEngine::QualityTier(int adapter) {
  constexpr int kIntelVendor = 32902;
  const int version = CapsValue("pixelshaderversion", adapter);
  if (version < 0x200) return 0;
  if (CapsValue("vendor", adapter) == kIntelVendor) return version >= 0x300 ? 2 : 1;
  return 2;
}

}  // namespace vyr

#include "scene/filters/managed_cube.h"

#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "imaging/bitmap/pixel_format.h"
#include "package/access/show_color_management.h"

namespace vyr {

void TransformCube(TColorLut& cube, TColorTransform& transform) {
  auto bitmap = MakeRef<TDirectBitmap>(cube.Width(), cube.Height(), pf::A8R8G8B8());
  const size_t rowBytes = static_cast<size_t>(cube.Width()) * 4;
  for (int y = 0; y < cube.Height(); ++y) std::memcpy(bitmap->Row(y), cube.Entry(0, y), rowBytes);
  auto rows = MakeRef<TSysDirectWrapper>(bitmap.Get(), false);
  transform.Apply(*rows);
  for (int y = 0; y < cube.Height(); ++y) std::memcpy(cube.Entry(0, y), bitmap->Row(y), rowBytes);
}

namespace {

struct TKey {
  std::string name;  // see TransformNameOf
  std::vector<uint8_t> icc;
  const TColorProfile* display;
  bool operator<(const TKey& o) const {
    return std::tie(name, icc, display) < std::tie(o.name, o.icc, o.display);
  }
};

struct TLookups {
  std::mutex lock;
  uint64_t generation = 0;
  std::map<TKey, std::shared_ptr<const TColorLut>> byProfile;
  std::vector<TRef<TColorProfile>> displays;  // keep the keys' display profiles alive
};

TLookups& Lookups() {
  static auto* lookups = new TLookups;  // lives for the process
  return *lookups;
}

}  // namespace

std::shared_ptr<const TColorLut> PictureColourLookup(const TRef<TColorProfile>& profile,
                                                     const TRef<TColorProfile>& display) {
  if (!profile || !display || profile == display) return nullptr;
  TLookups& lookups = Lookups();
  std::lock_guard guard(lookups.lock);
  if (lookups.generation != ColorSetupGeneration()) {
    // Pictures of the last show keep their lookups; only the table forgets them.
    lookups.byProfile.clear();
    lookups.displays.clear();
    lookups.generation = ColorSetupGeneration();
  }
  TKey key{TransformNameOf(*profile), profile->IccData(), display.Get()};
  auto found = lookups.byProfile.find(key);
  if (found != lookups.byProfile.end()) return found->second;
  std::shared_ptr<TColorLut> cube;
  if (TRef<TColorTransform> transform = MakeColorTransform(profile, display)) {
    cube = std::make_shared<TColorLut>(TColorLut::IdentityCube());
    TransformCube(*cube, *transform);
  }
  lookups.displays.push_back(display);
  return lookups.byProfile.emplace(std::move(key), std::move(cube)).first->second;
}

}  // namespace vyr

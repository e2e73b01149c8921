#include "imaging/colour/color_profile.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/colour/builtin_profiles.h"
#include "imaging/colour/color_cube.h"
#include "imaging/colour/color_transform.h"

namespace vyr {

namespace {

struct TBuiltins {
  std::map<std::string, TRef<TColorProfile>> byName;
  TBuiltins() {
    auto srgb = BuildSRGBIcc();
    byName["sRGB"] = MakeRef<TColorProfile>("sRGB", srgb);
    byName["YUVsRGB"] = MakeRef<TColorProfile>("YUVsRGB", srgb);
    byName["AdobeRGB"] = MakeRef<TColorProfile>("AdobeRGB", BuildAdobeRGBIcc());
    byName["RivedADE"] = MakeRef<TColorProfile>("RivedADE", BuildRivedADEIcc());
  }
};

const TBuiltins& Builtins() {
  static const TBuiltins* builtins = new TBuiltins;  // lives for the process
  return *builtins;
}

std::mutex gOutputLock;
TRef<TColorProfile> gOutput;
std::mutex gCubeLock;

}  // namespace

TSysBitmap* TColorProfile::Cube() {
  std::lock_guard lock(gCubeLock);
  if (!cubeMade_) {
    TRef<TColorTransform> transform =
        MakeColorTransform(BuiltinProfile("sRGB"), TRef<TColorProfile>::Share(this));
    if (transform) {
      cube_ = MakeIdentityCube();
      transform->Apply(*cube_);
    }
    cubeMade_ = true;
  }
  return cube_.Get();
}

TRef<TColorProfile> BuiltinProfile(const std::string& name) {
  const auto& map = Builtins().byName;
  const auto found = map.find(name);
  return found == map.end() ? nullptr : found->second;
}

TRef<TColorProfile> ProfileFromIcc(std::vector<uint8_t> data, const std::string& name) {
  if (data.empty()) return nullptr;
  static const char kSRGB[] = "sRGB IEC61966-2.1";
  const size_t scan = std::min<size_t>(data.size(), 512);
  const auto head = data.begin() + static_cast<std::ptrdiff_t>(scan);
  if (std::search(data.begin(), head, kSRGB, kSRGB + sizeof kSRGB - 1) != head)
    return BuiltinProfile("sRGB");
  return MakeRef<TColorProfile>(name, std::move(data));
}

void SetOutputProfile(TRef<TColorProfile> profile) {
  std::lock_guard lock(gOutputLock);
  gOutput = std::move(profile);
}

TRef<TColorProfile> OutputProfile() {
  std::lock_guard lock(gOutputLock);
  return gOutput;
}

TRef<TColorProfile> OutputProfileOrSRGB() {
  TRef<TColorProfile> output = OutputProfile();
  return output ? output : BuiltinProfile("sRGB");
}

}  // namespace vyr

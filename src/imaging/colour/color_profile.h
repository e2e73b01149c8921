#pragma once
// Colour profiles carried by pictures, the built-in ones, and the process-wide output profile.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/ref_object.h"
#include "imaging/bitmap/bitmap.h"

namespace vyr {

class TColorProfile : public TRefObject {
 public:
  TColorProfile(std::string name, std::vector<uint8_t> icc)
      : name_(std::move(name)), icc_(std::move(icc)) {}
  const std::string& Name() const { return name_; }
  const std::vector<uint8_t>& IccData() const { return icc_; }

  // The profile's colour cube (32 x 1024 "R8G8B8"), made on first use; null when no transform
  // from sRGB to this profile exists.
  TSysBitmap* Cube();
  bool CubeMade() const { return cubeMade_; }

 private:
  std::string name_;
  std::vector<uint8_t> icc_;
  TRef<TSysBitmap> cube_;
  bool cubeMade_ = false;
};

// "sRGB", "YUVsRGB", "AdobeRGB" or "RivedADE"; null for any other name.
TRef<TColorProfile> BuiltinProfile(const std::string& name);

// None for no data; the built-in "sRGB" itself when the data names "sRGB IEC61966-2.1" within
// its first 512 bytes; else a new profile.
TRef<TColorProfile> ProfileFromIcc(std::vector<uint8_t> data, const std::string& name);

void SetOutputProfile(TRef<TColorProfile> profile);
TRef<TColorProfile> OutputProfile();
// The output profile when one is set, else the built-in "sRGB".
TRef<TColorProfile> OutputProfileOrSRGB();

}  // namespace vyr

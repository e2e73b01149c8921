#pragma once
// JPEG pictures through libjpeg: levels 0 to 3 come from its scaled decoding.

#include <string>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

VYR_DECLARE_EXCEPTION(EJPEG, TCommonException);

class TJpegBitmapStore : public TSysBitmapStore {
 public:
  TJpegBitmapStore(std::string name, TRotationHook rotation, int32_t width, int32_t height,
                   bool grey, bool progressive, std::vector<uint8_t> data);
  bool Grey() const { return grey_; }
  bool Progressive() const { return progressive_; }

 protected:
  // Levels 0 to 3 decoded at 1/1, 1/2, 1/4, 1/8; none beyond. Errors raise EJPEG.
  TStoreLevel Decode(int level) override;

 private:
  bool grey_;
  bool progressive_;
  std::vector<uint8_t> data_;
};

// The store of the JPEG at the stream's position with its embedded colour profile, or null
// (stream put back) when libjpeg cannot read its header.
TRef<TBitmapStore> ReadJpeg(TStream& stream, const std::string& name,
                            const TRotationHook& rotation);

}  // namespace vyr

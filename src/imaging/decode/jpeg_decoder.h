#pragma once
// JPEG pictures through libjpeg: levels 0 to 3 come from its scaled decoding.

#include <string>

#include "foundation/exceptions.h"
#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

VYR_DECLARE_EXCEPTION(EJPEG, TCommonException);

// Keeps the stream and reads it in pieces at each decode. A picture above the pixel budget is
// taken at the first reduced scale that fits: its level 0 is that scale.
class TJpegBitmapStore : public TSysBitmapStore {
 public:
  // width x height: the JPEG's own size; the stream is positioned at its start.
  TJpegBitmapStore(std::string name, TRotationHook rotation, int32_t width, int32_t height,
                   bool grey, bool progressive, TRef<TStream> stream, int firstScale = 0);
  bool Grey() const { return grey_; }
  bool Progressive() const { return progressive_; }

 protected:
  // Levels decoded at 1/1, 1/2, 1/4, 1/8 of the JPEG's own size (from the first scale on);
  // none beyond. Errors, and a decode told to stop, raise EJPEG. Data libjpeg refused once is
  // not decoded again: every level raises the same error at once.
  TStoreLevel Decode(int level) override;

 private:
  bool grey_;
  bool progressive_;
  TRef<TStream> stream_;
  int64_t start_;
  int firstScale_;
  std::string failure_;  // libjpeg's refusal of the data, empty while none
};

// The store of the JPEG at the stream's position with its embedded colour profile, or null
// (stream put back) when libjpeg cannot read its header, or even its 1/8 scale is above the
// pixel budget, or the file is above the size budget.
TRef<TBitmapStore> ReadJpeg(const TRef<TStream>& stream, const std::string& name,
                            const TRotationHook& rotation);

}  // namespace vyr

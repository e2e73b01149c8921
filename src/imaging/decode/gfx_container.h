#pragma once
// The show's picture container ".qzgfx": "QZGF", named text fields, then a raw-deflated BMP.

#include <map>
#include <string>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

// The store of the container at the stream's position, or null (stream put back) when the
// stream is not a container with the fields "File", "Width", "Height" and "OriginalSize".
// The payload is inflated on the first request for level 0; a payload that cannot be read
// gives an opaque green picture of the declared size.
TRef<TBitmapStore> ReadGfxContainer(TStream& stream, const std::string& name,
                                    const TRotationHook& rotation);

class TGfxBitmapStore : public TSysBitmapStore {
 public:
  TGfxBitmapStore(std::string name, TRotationHook rotation, int32_t width, int32_t height,
                  std::map<std::string, std::string> fields, std::vector<uint8_t> payload);
  // A field's text, empty when absent.
  std::string Field(const std::string& fieldName) const;

 protected:
  TStoreLevel Decode(int level) override;

 private:
  std::map<std::string, std::string> fields_;
  std::vector<uint8_t> payload_;
};

}  // namespace vyr

#pragma once
// A picture store seen from one of its reduction levels: level n of the view is level
// base + n of the store it views.

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

class TLevelViewStore : public TSysBitmapStore {
 public:
  TLevelViewStore(TRef<TBitmapStore> base, int baseLevel);

 protected:
  TStoreLevel Decode(int level) override;

 private:
  TRef<TBitmapStore> base_;
  int baseLevel_;
};

}  // namespace vyr

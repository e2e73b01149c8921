#include "package/access/level_view_store.h"

namespace vyr {

TLevelViewStore::TLevelViewStore(TRef<TBitmapStore> base, int baseLevel)
    : TSysBitmapStore(base->Params().name, nullptr, base->Params().format,
                      LevelSide(base->Params().width, baseLevel),
                      LevelSide(base->Params().height, baseLevel)),
      base_(std::move(base)),
      baseLevel_(baseLevel) {
  SetProfile(base_->Profile());
  SetProgress(base_->Progress());
}

TStoreLevel TLevelViewStore::Decode(int level) {
  // The base store keeps what it makes, so the bitmap is not ours.
  return {base_->GetMipLevel(baseLevel_ + level), false, level};
}

}  // namespace vyr

#include "imaging/bitmap/bitmap_store.h"

#include "foundation/exceptions.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/reduce.h"

namespace vyr {

namespace {
constexpr int kMaxLevel = 31;  // every side is 1 long before this

const TPixelFormat* WorkingFormat(const TPixelFormat* pictureFormat) {
  return pictureFormat && pictureFormat->HasAlpha() ? pf::A8R8G8B8() : pf::R8G8B8();
}
}  // namespace

int32_t LevelSide(int32_t side, int level) {
  for (int i = 0; i < level; ++i) side = (side + 1) / 2;
  return side;
}

int LevelForSize(const TImageParams& params, int32_t wantedWidth, int32_t wantedHeight) {
  VYR_ASSERT(wantedWidth > 0 && wantedHeight > 0);
  int level = -1;
  int64_t w = params.width, h = params.height;
  while (wantedWidth < w && wantedHeight < h) {
    ++level;
    w = (w + 1) / 2;
    h = (h + 1) / 2;
  }
  return std::max(level, 0);
}

TRef<TColorProfile> TBitmapStore::Profile() const {
  std::lock_guard lock(lock_);
  return profile_;
}

void TBitmapStore::SetProfile(TRef<TColorProfile> profile) {
  std::lock_guard lock(lock_);
  profile_ = std::move(profile);
}

void TBitmapStore::AddTag(TRef<TRefObject> tag) {
  std::lock_guard lock(lock_);
  tags_.push_back(std::move(tag));
}

TBitmap* TBitmapStore::Accept(TBitmap* bitmap, TBitmapClass cls, const TPixelFormat* format) const {
  if (format && bitmap->Format() != format) return nullptr;
  if (cls != TBitmapClass::Any && !bitmap->IsKindOf(cls)) return nullptr;
  return bitmap;
}

bool TBitmapStore::HasLevel(int level) const {
  std::lock_guard lock(lock_);
  return level >= 0 && static_cast<size_t>(level) < levels_.size() &&
         !levels_[level].bitmaps.empty();
}

TRef<TBitmap> TBitmapStore::GetMipLevel(int level, const TPixelFormat* format, TBitmapClass cls) {
  std::lock_guard lock(lock_);
  VYR_ASSERT_MSG(level >= 0 && level <= kMaxLevel, "TSysBitmapStore.GetMipLevel - Index<0");
  if (levels_.size() <= static_cast<size_t>(level)) levels_.resize(level + 1);
  for (const auto& cached : levels_[level].bitmaps)
    if (TBitmap* found = Accept(cached.Get(), cls, format)) return TRef<TBitmap>::Share(found);

  if (levels_[level].bitmaps.empty()) {
    TStoreLevel made = Produce(level, format, cls);
    VYR_ASSERT_MSG(made.bitmap, "\"" + ClassNameOf(*this) + ".GetMipLevel(" +
                                    std::to_string(level) + ")\" Not Assigned");
    VYR_ASSERT_MSG(made.level == level, "Incorrect MipLevelIndex");
    auto& cache = levels_[level];
    cache.firstOwned = made.owned ? 0 : 1;
    cache.bitmaps.push_back(made.bitmap);
    if (TBitmap* found = Accept(made.bitmap.Get(), cls, format)) return TRef<TBitmap>::Share(found);
  }

  const TBitmap& first = *levels_[level].bitmaps.front();
  const TPixelFormat* wanted = format ? format : first.Format();
  VYR_ASSERT_MSG(wanted != nullptr, "qzBitmap.DefBitmapClass Not Assigned");
  TRef<TBitmap> copy = CreateBitmap(first.Width(), first.Height(), wanted, progress_, &first, cls);
  VYR_ASSERT_MSG(copy, "Invalid Combination Of Bitmap Parameters");
  levels_[level].bitmaps.push_back(copy);
  return copy;
}

TSysBitmapStore::TSysBitmapStore(std::string name, TRotationHook rotation,
                                 const TPixelFormat* format, int32_t width, int32_t height)
    : TBitmapStore({std::move(name), rotation.SwapsSides() ? height : width,
                    rotation.SwapsSides() ? width : height, format}),
      rotation_(std::move(rotation)) {}

int32_t TSysBitmapStore::DecodedWidth() const {
  return rotation_.SwapsSides() ? params_.height : params_.width;
}

int32_t TSysBitmapStore::DecodedHeight() const {
  return rotation_.SwapsSides() ? params_.width : params_.height;
}

TBitmap* TSysBitmapStore::Accept(TBitmap* bitmap, TBitmapClass cls,
                                 const TPixelFormat* format) const {
  if (TBitmap* found = TBitmapStore::Accept(bitmap, cls, format)) return found;
  auto* wrapper = dynamic_cast<TSysDirectWrapper*>(bitmap);
  if (wrapper && cls != TBitmapClass::Any && ClassInherits(TBitmapClass::DirectBitmap, cls) &&
      (!format || wrapper->Format() == format))
    return wrapper->Inner();
  return nullptr;
}

TStoreLevel TSysBitmapStore::Produce(int level, const TPixelFormat* format, TBitmapClass cls) {
  VYR_ASSERT_MSG(level >= 0, "TSysBitmapStore.GetMipLevel - Index<0");
  TStoreLevel decoded = Decode(level);
  if (decoded.bitmap) {
    decoded.bitmap->SetProgress(progress_);
    if (rotation_) {
      TRef<TBitmap> turned = rotation_(decoded.bitmap, decoded.owned, params_.format);
      if (turned != decoded.bitmap) decoded.owned = true;
      decoded.bitmap = std::move(turned);
      decoded.bitmap->SetProgress(progress_);
    }
    return decoded;
  }

  const TPixelFormat* working = WorkingFormat(params_.format);
  const bool sysKind = cls == TBitmapClass::Any || ClassInherits(cls, TBitmapClass::SysBitmap);
  const TBitmapClass makeAs =
      (format == working || !format) && sysKind ? cls : TBitmapClass::SysBitmap;
  if (level == 0) {
    // Nothing decoded at all: the picture shows as black of its declared size.
    VYR_ASSERT_MSG(params_.width > 0 && params_.height > 0, "Invalid Picture Size");
    TRef<TBitmap> empty =
        CreateBitmap(params_.width, params_.height, working, progress_, nullptr, makeAs);
    if (!empty)
      empty = CreateBitmap(params_.width, params_.height, working, progress_, nullptr,
                           TBitmapClass::SysBitmap);
    if (working->HasAlpha()) empty->FillRect({0, 0, params_.width, params_.height}, 0xFF000000u);
    return {empty, true, 0};
  }
  TRef<TBitmap> above = GetMipLevel(level - 1, working, TBitmapClass::SysBitmap);
  const int32_t w = (above->Width() + 1) / 2, h = (above->Height() + 1) / 2;
  TRef<TBitmap> reduced = CreateBitmap(w, h, working, progress_, nullptr, makeAs);
  if (!reduced) reduced = CreateBitmap(w, h, working, progress_, nullptr, TBitmapClass::SysBitmap);
  ReduceByTwo(*above, *reduced);
  return {reduced, true, level};
}

TWrapperBitmapStore::TWrapperBitmapStore(std::string name, TRotationHook rotation,
                                         TRef<TBitmap> bitmap)
    : TSysBitmapStore(std::move(name), std::move(rotation), bitmap->Format(), bitmap->Width(),
                      bitmap->Height()),
      bitmap_(std::move(bitmap)) {}

TStoreLevel TWrapperBitmapStore::Decode(int level) {
  if (level != 0) return {};
  return {bitmap_, false, 0};
}

TImage::TImage(TRef<TBitmapStore> store) : store_(std::move(store)) {
  VYR_ASSERT_MSG(store_, "TImage.Create - Store not Assigned");
  params_ = store_->Params();
}

}  // namespace vyr

#pragma once
// Picture stores: a decoded picture handed out at any reduction level, pixel format and
// bitmap class, with what was handed out cached.

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/ref_object.h"
#include "imaging/bitmap/bitmap.h"
#include "imaging/colour/color_profile.h"

namespace vyr {

struct TImageParams {
  std::string name;
  int32_t width = 0;   // of level 0
  int32_t height = 0;  // of level 0
  const TPixelFormat* format = nullptr;
};

// Level n is level 0 halved n times, each side rounded up.
int32_t LevelSide(int32_t side, int level);
// The most reduced level whose both sides are still larger than wanted (0 at least).
int LevelForSize(const TImageParams& params, int32_t wantedWidth, int32_t wantedHeight);

// Turns a freshly decoded bitmap: given the bitmap, whether the store owns it and the
// picture's format, answers the bitmap to use (itself, or a new owned one). A hook that
// swaps the sides (a quarter turn) makes its store report height x width.
class TRotationHook {
 public:
  using TTurnFunction =
      std::function<TRef<TBitmap>(TRef<TBitmap> bitmap, bool owned, const TPixelFormat* format)>;

  TRotationHook() = default;
  TRotationHook(std::nullptr_t) {}  // NOLINT(google-explicit-constructor): "no turn"
  TRotationHook(TTurnFunction turn, bool swapsSides)
      : turn_(std::move(turn)), swapsSides_(turn_ && swapsSides) {}

  explicit operator bool() const { return static_cast<bool>(turn_); }
  bool SwapsSides() const { return swapsSides_; }
  TRef<TBitmap> operator()(TRef<TBitmap> bitmap, bool owned, const TPixelFormat* format) const {
    return turn_(std::move(bitmap), owned, format);
  }

 private:
  TTurnFunction turn_;
  bool swapsSides_ = false;
};

// What a store makes for a level.
struct TStoreLevel {
  TRef<TBitmap> bitmap;
  bool owned = false;
  int level = 0;
};

class TBitmapStore : public TRefObject {
 public:
  // The bitmap of that level, in that format (its own when null) and class (any when Any).
  TRef<TBitmap> GetMipLevel(int level, const TPixelFormat* format = nullptr,
                            TBitmapClass cls = TBitmapClass::Any);

  const TImageParams& Params() const { return params_; }
  // Whether the level is made already (a later GetMipLevel of it decodes nothing).
  bool HasLevel(int level) const;
  TRef<TColorProfile> Profile() const;
  void SetProfile(TRef<TColorProfile> profile);
  void SetProgress(TProgressCallback progress) { progress_ = std::move(progress); }
  const TProgressCallback& Progress() const { return progress_; }

  // Objects attached by decoders (the frame table of an animation), freed with the store.
  void AddTag(TRef<TRefObject> tag);
  template <class T>
  T* FindTag() const {
    std::lock_guard lock(lock_);
    for (const auto& tag : tags_)
      if (auto* found = dynamic_cast<T*>(tag.Get())) return found;
    return nullptr;
  }

 protected:
  explicit TBitmapStore(TImageParams params) : params_(std::move(params)) {}

  virtual TStoreLevel Produce(int level, const TPixelFormat* format, TBitmapClass cls) = 0;
  // The bitmap itself when it fits the asked format and class, else null.
  virtual TBitmap* Accept(TBitmap* bitmap, TBitmapClass cls, const TPixelFormat* format) const;
  virtual TStoreLevel Decode(int level) = 0;

  TImageParams params_;
  TProgressCallback progress_;

 private:
  struct TLevelCache {
    std::vector<TRef<TBitmap>> bitmaps;
    size_t firstOwned = 0;
  };
  mutable std::recursive_mutex lock_;
  std::vector<TLevelCache> levels_;
  std::vector<TRef<TRefObject>> tags_;
  TRef<TColorProfile> profile_;
};

class TSysBitmapStore : public TBitmapStore {
 public:
  // width x height: the picture as decoded; the store reports it turned.
  TSysBitmapStore(std::string name, TRotationHook rotation, const TPixelFormat* format,
                  int32_t width, int32_t height);

 protected:
  // The size of level 0 as the decoder makes it, before the turn.
  int32_t DecodedWidth() const;
  int32_t DecodedHeight() const;

  TStoreLevel Produce(int level, const TPixelFormat* format, TBitmapClass cls) override;
  TBitmap* Accept(TBitmap* bitmap, TBitmapClass cls, const TPixelFormat* format) const override;
  // The decoded level, or no bitmap when the level is to be reduced from the one above.
  TStoreLevel Decode(int level) override = 0;

 private:
  TRotationHook rotation_;
};

// Holds one bitmap as level 0.
class TWrapperBitmapStore : public TSysBitmapStore {
 public:
  TWrapperBitmapStore(std::string name, TRotationHook rotation, TRef<TBitmap> bitmap);

 protected:
  TStoreLevel Decode(int level) override;

 private:
  TRef<TBitmap> bitmap_;
};

// A picture: a store and its parameters.
class TImage : public TRefObject {
 public:
  explicit TImage(TRef<TBitmapStore> store);
  TRef<TImage> Clone() const { return MakeRef<TImage>(store_); }

  TRef<TBitmap> Bitmap() const { return store_->GetMipLevel(0); }
  TBitmapStore& Store() const { return *store_; }
  const std::string& Name() const { return params_.name; }
  int32_t Width() const { return params_.width; }
  int32_t Height() const { return params_.height; }
  const TPixelFormat* Format() const { return params_.format; }
  std::vector<TRef<TRefObject>>& Tags() { return tags_; }

 private:
  TRef<TBitmapStore> store_;
  TImageParams params_;
  std::vector<TRef<TRefObject>> tags_;
};

}  // namespace vyr

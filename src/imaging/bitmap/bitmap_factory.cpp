#include "imaging/bitmap/bitmap_factory.h"

#include <mutex>
#include <vector>

#include "foundation/exceptions.h"

namespace vyr {

namespace {

// Makes a TDirectBitmap when the wanted class allows it.
TRef<TBitmap> MakeDirect(const TBitmapRequest& r) {
  if (r.wanted != TBitmapClass::Any && !ClassInherits(TBitmapClass::DirectBitmap, r.wanted))
    return nullptr;
  return MakeRef<TDirectBitmap>(r.width, r.height, r.format);
}

// Makes a TSysDirectWrapper over a new TDirectBitmap for it or one of its parents.
TRef<TBitmap> MakeWrapper(const TBitmapRequest& r) {
  if (r.wanted != TBitmapClass::Any && !ClassInherits(TBitmapClass::SysDirectWrapper, r.wanted))
    return nullptr;
  auto inner = MakeRef<TDirectBitmap>(r.width, r.height, r.format);
  return MakeRef<TSysDirectWrapper>(inner.Get(), true);
}

class TFactoryChain {
 public:
  TFactoryChain() : factories_{MakeWrapper, MakeDirect} {}
  void Add(TBitmapFactory factory) {
    std::lock_guard lock(lock_);
    factories_.insert(factories_.begin(), std::move(factory));
  }
  TRef<TBitmap> Create(const TBitmapRequest& request) {
    std::vector<TBitmapFactory> chain;
    {
      std::lock_guard lock(lock_);
      chain = factories_;
    }
    for (const auto& factory : chain)
      if (TRef<TBitmap> made = factory(request)) return made;
    return nullptr;
  }

 private:
  std::mutex lock_;
  std::vector<TBitmapFactory> factories_;  // newest first
};

TFactoryChain& Chain() {
  static TFactoryChain* chain = new TFactoryChain;  // lives for the process
  return *chain;
}

}  // namespace

void RegisterBitmapFactory(TBitmapFactory factory) { Chain().Add(std::move(factory)); }

TRef<TBitmap> CreateBitmap(int32_t width, int32_t height, const TPixelFormat* format,
                           TProgressCallback progress, const TBitmap* source, TBitmapClass wanted) {
  VYR_ASSERT_MSG(format != nullptr, "qzBitmap.DefBitmapClass Not Assigned");
  TRef<TBitmap> made = Chain().Create({width, height, format, progress, source, wanted});
  if (!made) return nullptr;
  made->SetProgress(std::move(progress));
  if (source) made->CopyRect({0, 0, width, height}, *source, {0, 0});
  return made;
}

TRef<TSysBitmap> CreateSysBitmap(int32_t width, int32_t height, const TPixelFormat* format) {
  TRef<TBitmap> made =
      CreateBitmap(width, height, format, nullptr, nullptr, TBitmapClass::SysBitmap);
  return TRef<TSysBitmap>::Share(static_cast<TSysBitmap*>(made.Get()));
}

}  // namespace vyr

#include "package/access/picture_cache.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "foundation/case_fold.h"
#include "package/access/level_view_store.h"
#include "package/container/load_callback.h"

namespace vyr {

struct TImageHandle {
  std::pair<std::string, uint64_t> key;
  int references = 0;  // under the cache lock
  std::mutex lock;
  bool loaded = false;  // under the handle's lock
  TRef<TBitmapStore> store;
};

namespace {

class TPictureCache {
 public:
  TImageHandle* Acquire(const std::string& name, uint64_t sourceNumber) {
    std::pair<std::string, uint64_t> key(FoldCaseUtf8(name), sourceNumber);
    std::lock_guard lock(lock_);
    auto& slot = handles_[key];
    if (!slot) {
      slot = std::make_unique<TImageHandle>();
      slot->key = std::move(key);
    }
    ++slot->references;
    return slot.get();
  }

  void Release(TImageHandle* handle) {
    std::unique_ptr<TImageHandle> gone;
    {
      std::lock_guard lock(lock_);
      if (--handle->references > 0) return;
      const auto found = handles_.find(handle->key);
      gone = std::move(found->second);
      handles_.erase(found);
    }
    // The store is freed outside the cache lock: freeing a picture may take a while.
  }

  size_t Live() const {
    std::lock_guard lock(lock_);
    return handles_.size();
  }

 private:
  mutable std::mutex lock_;
  std::map<std::pair<std::string, uint64_t>, std::unique_ptr<TImageHandle>> handles_;
};

TPictureCache& Cache() {
  static auto* cache = new TPictureCache;  // lives for the process: pictures may outlive main
  return *cache;
}

}  // namespace

TSharedImage::TSharedImage(TRef<TBitmapStore> store, TImageHandle* handle)
    : TImage(std::move(store)), handle_(handle) {}

void TSharedImage::Dispose() {
  if (handle_) Cache().Release(std::exchange(handle_, nullptr));
  TImage::Dispose();
}

TRef<TImage> OpenCachedPicture(const std::string& name, uint64_t sourceNumber, int level,
                               const TPictureLoader& load) {
  TImageHandle* handle = Cache().Acquire(name, sourceNumber);
  TRef<TBitmapStore> store;
  try {
    std::lock_guard lock(handle->lock);
    if (!handle->loaded) {
      // Marked loaded even when the loader fails, so waiting requests do not retry.
      handle->loaded = true;
      handle->store = load();
      if (handle->store && !handle->store->Progress())
        handle->store->SetProgress([](float) { return LoadCallBack(); });
    }
    store = handle->store;
  } catch (...) {
    Cache().Release(handle);
    throw;
  }
  if (!store) {
    Cache().Release(handle);
    return nullptr;
  }
  if (level > 0) store = MakeRef<TLevelViewStore>(std::move(store), level);
  return MakeRef<TSharedImage>(std::move(store), handle);
}

size_t LivePictureHandles() { return Cache().Live(); }

}  // namespace vyr

#include "package/access/file_source.h"

#include <atomic>

namespace vyr {

namespace {
std::atomic<uint64_t> gNextSourceNumber{1};
}  // namespace

void TCallbackHandle::Dispose() {
  if (source_) source_->Unregister(id_);
  source_.Reset();
}

TFileSource::TFileSource() : sourceNumber_(gNextSourceNumber.fetch_add(1)) {}

TRef<TStream> TFileSource::OpenLocked(const std::string& name) {
  std::lock_guard lock(openLock_);
  return Open(name);
}

TRef<TCallbackHandle> TFileSource::RegisterPictureProvider(TPictureProvider provider) {
  uint64_t id;
  {
    std::lock_guard lock(hookLock_);
    id = nextProviderId_++;
    providers_.push_back({id, std::move(provider)});
  }
  return MakeRef<TCallbackHandle>(TRef<TFileSource>::Share(this), id);
}

void TFileSource::Unregister(uint64_t id) {
  std::lock_guard lock(hookLock_);
  std::erase_if(providers_, [id](const TProviderEntry& entry) { return entry.id == id; });
}

TRef<TImage> TFileSource::ProvidePicture(const std::string& name) const {
  std::vector<TPictureProvider> providers;
  {
    std::lock_guard lock(hookLock_);
    for (const auto& entry : providers_) providers.push_back(entry.provider);
  }
  // Asked outside the lock: a provider may itself open pictures of this source.
  for (const auto& provider : providers)
    if (TRef<TImage> picture = provider(name)) return picture;
  return nullptr;
}

void TFileSource::SetRotation(TPictureRotation rotation) {
  std::lock_guard lock(hookLock_);
  rotation_ = std::move(rotation);
}

TRotationHook TFileSource::RotationFor(const std::string& name) const {
  TPictureRotation rotation;
  {
    std::lock_guard lock(hookLock_);
    rotation = rotation_;
  }
  return rotation ? rotation(name) : nullptr;
}

}  // namespace vyr

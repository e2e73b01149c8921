#pragma once
// Where a show's files come from: the package, loose files on disk, or loose files with the
// project's file map. Every source has a process-unique number (the picture cache's key),
// the picture providers registered on it and an optional picture-rotation hook.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

// Answers a picture for a name it knows (a generated picture), else none.
using TPictureProvider = std::function<TRef<TImage>(const std::string& name)>;
// The turn to apply to a picture of that name while it decodes (none: as stored).
using TPictureRotation = std::function<TRotationHook(const std::string& name)>;

class TFileSource;

// Keeps a picture provider registered; freeing the handle unregisters it.
class TCallbackHandle : public TRefObject {
 public:
  TCallbackHandle(TRef<TFileSource> source, uint64_t id) : source_(std::move(source)), id_(id) {}

 protected:
  void Dispose() override;

 private:
  TRef<TFileSource> source_;
  uint64_t id_;
};

class TFileSource : public TRefObject {
 public:
  TFileSource();

  uint64_t SourceNumber() const { return sourceNumber_; }

  // Opens the name under the source's lock; none when the source has no such file.
  TRef<TStream> OpenLocked(const std::string& name);

  TRef<TCallbackHandle> RegisterPictureProvider(TPictureProvider provider);
  // The providers' answer for the name, asked in registration order; none when none knows it.
  TRef<TImage> ProvidePicture(const std::string& name) const;

  void SetRotation(TPictureRotation rotation);
  TRotationHook RotationFor(const std::string& name) const;

 protected:
  virtual TRef<TStream> Open(const std::string& name) = 0;

 private:
  friend class TCallbackHandle;
  void Unregister(uint64_t id);

  struct TProviderEntry {
    uint64_t id;
    TPictureProvider provider;
  };

  const uint64_t sourceNumber_;
  std::mutex openLock_;
  mutable std::mutex hookLock_;
  std::vector<TProviderEntry> providers_;
  uint64_t nextProviderId_ = 1;
  TPictureRotation rotation_;
};

}  // namespace vyr

#include "package/access/current_show.h"

#include <mutex>

#include "foundation/stream_opener.h"

namespace vyr {

namespace {
std::mutex gShowLock;
TRef<TFileAccessor>& Current() {
  static auto* current = new TRef<TFileAccessor>;  // lives for the process
  return *current;
}
}  // namespace

void SetCurrentShow(TRef<TFileAccessor> accessor) {
  const bool installed = static_cast<bool>(accessor);
  {
    std::lock_guard lock(gShowLock);
    std::swap(Current(), accessor);
  }
  if (!installed) return SetStreamOpener(nullptr);
  SetStreamOpener([](const std::string& path) -> TRef<TStream> {
    if (TRef<TFileAccessor> show = CurrentShowAccessor())
      if (TRef<TStream> stream = show->OpenStream(path)) return stream;
    return TFileStream::TryOpen(path, TFileStream::Mode::Read);
  });
}

TRef<TFileAccessor> CurrentShowAccessor() {
  std::lock_guard lock(gShowLock);
  return Current();
}

TPackedFileSource* PackageSourceOf(const TFileAccessor* accessor) {
  return accessor ? dynamic_cast<TPackedFileSource*>(&accessor->Source()) : nullptr;
}

TRef<TPackedFileSource> CurrentShowPackage() {
  const TRef<TFileAccessor> show = CurrentShowAccessor();
  return TRef<TPackedFileSource>::Share(PackageSourceOf(show.Get()));
}

}  // namespace vyr

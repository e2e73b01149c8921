#include "foundation/stream_opener.h"

#include <mutex>

namespace vyr {

namespace {
std::mutex gLock;
TStreamOpener gOpener;
TStreamOpener gCreator;
}  // namespace

TRef<TStream> OpenStreamByName(const std::string& path) {
  TStreamOpener opener;
  {
    std::lock_guard lock(gLock);
    opener = gOpener;
  }
  if (opener) return opener(path);
  return TFileStream::TryOpen(path, TFileStream::Mode::Read);
}

TRef<TStream> CreateStreamByName(const std::string& path) {
  TStreamOpener creator;
  {
    std::lock_guard lock(gLock);
    creator = gCreator;
  }
  if (creator) return creator(path);
  return TFileStream::TryOpen(path, TFileStream::Mode::Create);
}

void SetStreamOpener(TStreamOpener opener) {
  std::lock_guard lock(gLock);
  gOpener = std::move(opener);
}

void SetStreamCreator(TStreamOpener creator) {
  std::lock_guard lock(gLock);
  gCreator = std::move(creator);
}

}  // namespace vyr

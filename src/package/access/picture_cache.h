#pragma once
// The process-wide picture cache: pictures in use are shared by name and file source, so
// that a picture asked for by several slides at once is decoded once. Nothing is kept once
// nobody uses a picture.

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

struct TImageHandle;

// A picture sharing the decoded store of a cache entry; the entry lives while any of its
// pictures does.
class TSharedImage : public TImage {
 public:
  TSharedImage(TRef<TBitmapStore> store, TImageHandle* handle);

 protected:
  void Dispose() override;

 private:
  TImageHandle* handle_;
};

// Makes the store of a picture that is not in use yet; none when it cannot.
using TPictureLoader = std::function<TRef<TBitmapStore>()>;

// The shared picture of (name ignoring case, source number): the loader runs once for all
// requests that overlap, under the entry's own lock, so different pictures load in
// parallel. With a level above 0 the picture is the store's view at that level. None when
// the loader gave none.
TRef<TImage> OpenCachedPicture(const std::string& name, uint64_t sourceNumber, int level,
                               const TPictureLoader& load);

// Entries currently in use.
size_t LivePictureHandles();

}  // namespace vyr

#include "package/access/file_accessor.h"

#include <exception>

#include "foundation/exceptions.h"
#include "imaging/decode/decoder_registry.h"
#include "imaging/decode/picture_budget.h"
#include "package/access/path_modifiers.h"
#include "package/access/path_resolver.h"
#include "package/access/picture_cache.h"
#include "package/access/placeholder_picture.h"
#include "package/container/load_callback.h"
#include "package/container/partial_stream.h"

namespace vyr {

TFileAccessor::TFileAccessor(TRef<TFileSource> source, std::string showFolder)
    : source_(std::move(source)), showFolder_(WithTrailingSlash(std::move(showFolder))) {
  VYR_ASSERT_MSG(source_, "TFileAccessor.Create - Source not Assigned");
  // Long picture decodes of a show ask the load-yield hook too.
  SetDecodeGoOnHook(LoadCallBack);
}

TRef<TStream> TFileAccessor::OpenFromSource(const std::string& name) {
  TRef<TStream> stream = source_->OpenLocked(name);
  if (!stream) return nullptr;
  const int64_t size = stream->Size();
  auto wrapped = MakeRef<TPartialStream>(std::move(stream), 0, size);
  wrapped->SetChunkCallback(LoadCallBack);
  return wrapped;
}

TRef<TStream> TFileAccessor::OpenStream(const std::string& name) {
  TRef<TStream> stream = OpenFromSource(name);
  if (postOpen_) postOpen_(name, stream);
  if (!stream && fallback_) return fallback_(name);
  return stream;
}

TRef<TBitmapStore> TFileAccessor::LoadPicture(const std::string& name) {
  if (!LoadCallBack()) return nullptr;  // the player is stopping: no new decodes
  TRef<TImage> picture = source_->ProvidePicture(name);
  TPlaceholderReason reason = TPlaceholderReason::NotFound;
  if (!picture) {
    if (TRef<TStream> stream = OpenFromSource(name)) {
      reason = TPlaceholderReason::LoadError;
      try {
        picture = DecodePicture(stream, name, source_->RotationFor(name));
      } catch (const std::exception&) {
        picture = nullptr;
      }
    }
  }
  if (!picture) picture = MakePlaceholderPicture(TPlaceholderKind::Image, reason, name);
  return picture ? TRef<TBitmapStore>::Share(&picture->Store()) : nullptr;
}

TRef<TImage> TFileAccessor::OpenPicture(const std::string& name) {
  return OpenCachedPicture(name, source_->SourceNumber(), pictureLevel_,
                           [this, &name] { return LoadPicture(name); });
}

// A relative path is the show folder's, never the working directory's.
bool TFileAccessor::ResolveRealFile(std::string& path) const {
  auto found = FindGivenFile(path, showFolder_);
  if (!found) {
    const std::string modified = ApplyPathModifiers(path);
    if (modified != path) found = FindGivenFile(modified, showFolder_);
  }
  if (!found) found = FindInFolder(showFolder_, ProjectFileName(path));
  if (!found) return false;
  path = *found;
  return true;
}

TRef<TFileStream> TFileAccessor::OpenRealFile(const std::string& path) const {
  std::string resolved = path;
  if (!ResolveRealFile(resolved)) return nullptr;
  return TFileStream::TryOpen(resolved, TFileStream::Mode::Read);
}

TRef<TFileAccessor> TFileAccessor::Clone() const {
  return MakeRef<TFileAccessor>(source_, showFolder_);
}

TRef<TCallbackHandle> TFileAccessor::RegisterPictureProvider(TPictureProvider provider) {
  return source_->RegisterPictureProvider(std::move(provider));
}

}  // namespace vyr

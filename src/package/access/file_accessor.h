#pragma once
// What every part of the player holds to reach a show's files by their project paths: opens
// them as streams or as shared, cached pictures, wherever they live.

#include <functional>
#include <string>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"
#include "package/access/file_source.h"

namespace vyr {

class TFileAccessor : public TRefObject {
 public:
  using TFallbackOpener = std::function<TRef<TStream>(const std::string& name)>;
  // May replace the stream just opened, or drop it (set it to none).
  using TPostOpenFilter = std::function<void(const std::string& name, TRef<TStream>& stream)>;

  // The show folder is kept with a trailing "/".
  TFileAccessor(TRef<TFileSource> source, std::string showFolder);

  // A new stream the caller owns, or none. Reads report to the load-yield hook.
  TRef<TStream> OpenStream(const std::string& name);
  // The shared picture, or the placeholder picture when the name does not open or decode
  // (none while no placeholder producer is installed).
  TRef<TImage> OpenPicture(const std::string& name);
  // For callers that need a disk file: the path as given, else with the path modifiers
  // applied, else the show folder plus its file name. False leaves the path unchanged.
  bool ResolveRealFile(std::string& path) const;
  TRef<TFileStream> OpenRealFile(const std::string& path) const;

  // A new accessor on the same source with the same show folder.
  TRef<TFileAccessor> Clone() const;

  // Providers answer picture names before any file is opened (the source's, shared by clones).
  TRef<TCallbackHandle> RegisterPictureProvider(TPictureProvider provider);

  TFileSource& Source() const { return *source_; }
  const TRef<TFileSource>& SourceRef() const { return source_; }
  const std::string& ShowFolder() const { return showFolder_; }
  int PictureLevel() const { return pictureLevel_; }
  void SetPictureLevel(int level) { pictureLevel_ = level; }
  void SetFallbackOpener(TFallbackOpener opener) { fallback_ = std::move(opener); }
  void SetPostOpenFilter(TPostOpenFilter filter) { postOpen_ = std::move(filter); }

 private:
  // The source's stream wrapped for the load-yield hook; none when it has none.
  TRef<TStream> OpenFromSource(const std::string& name);
  TRef<TBitmapStore> LoadPicture(const std::string& name);

  TRef<TFileSource> source_;
  std::string showFolder_;
  int pictureLevel_ = 0;
  TFallbackOpener fallback_;
  TPostOpenFilter postOpen_;
};

}  // namespace vyr

#include "audio/player/show_sound_opener.h"

#include "audio/schedule/clip_sounds.h"

namespace vyr {

TAudioOpenCallback MakeShowSoundOpener(TRef<TFileAccessor> accessor) {
  return [accessor = std::move(accessor)](const std::string& name) -> TRef<TStream> {
    if (name.starts_with(kLoadFromDiskPrefix))
      return accessor->OpenRealFile(name.substr(kLoadFromDiskPrefix.size()));
    return accessor->OpenStream(name);
  };
}

}  // namespace vyr

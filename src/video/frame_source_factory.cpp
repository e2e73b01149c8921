#include "video/frame_source_factory.h"

#include <map>
#include <mutex>

#include "foundation/case_fold.h"
#include "video/ffmpeg_video_source.h"
#include "video/gif_video_source.h"

namespace vyr {

namespace {

std::mutex tableLock;
std::map<std::string, TVideoSourceInfo>& Table() {
  static std::map<std::string, TVideoSourceInfo> table;
  return table;
}

bool IsGifName(const std::string& name) {
  return name.size() >= 4 && SameName(std::string_view(name).substr(name.size() - 4), ".gif");
}

using TFactory = TRef<TFrameSource> (*)(TRef<TStream>& stream, const std::string& name);

TRef<TFrameSource> GifFactory(TRef<TStream>& stream, const std::string& name) {
  if (!IsGifName(name)) return nullptr;
  return TGifVideoSource::Open(*stream, name);
}

TRef<TFrameSource> MediaLibraryFactory(TRef<TStream>& stream, const std::string& name) {
  if (IsGifName(name)) return nullptr;
  return TWinVideoSource::Open(stream, name);
}

}  // namespace

TRef<TFrameSource> MakeFrameSource(TRef<TStream> stream, const std::string& fileName,
                                   const std::string& fileDate) {
  if (!stream) return nullptr;
  static constexpr TFactory kChain[] = {&GifFactory, &MediaLibraryFactory};
  TRef<TFrameSource> source;
  for (TFactory factory : kChain) {
    source = factory(stream, fileName);
    if (source) break;
  }
  if (!source) return nullptr;
  std::lock_guard guard(tableLock);
  Table().emplace(fileName + ":" + fileDate, source->Params());
  return source;
}

std::optional<TVideoSourceInfo> KnownVideoParams(const std::string& key) {
  std::lock_guard guard(tableLock);
  auto it = Table().find(key);
  if (it == Table().end()) return std::nullopt;
  return it->second;
}

}  // namespace vyr

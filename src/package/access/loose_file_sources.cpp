#include "package/access/loose_file_sources.h"

#include "imaging/bitmap/turns.h"
#include "package/access/path_modifiers.h"
#include "package/access/path_resolver.h"

namespace vyr {

TRealFileSource::TRealFileSource(std::string showFolder)
    : showFolder_(WithTrailingSlash(std::move(showFolder))) {}

TRef<TStream> TRealFileSource::Open(const std::string& name) {
  const std::string path = ApplyPathModifiers(name.substr(0, name.find('|')));
  const auto found = FindDiskFile(path, showFolder_);
  if (!found) return nullptr;
  return TFileStream::TryOpen(*found, TFileStream::Mode::Read);
}

void TMappedFileSource::LoadMaps(const TIniFile& project) {
  fileMap_.Load(project);
  rotations_.Load(project);
  if (rotations_.Empty()) return;
  SetRotation(
      [this](const std::string& name) { return TurnForOrientation(rotations_.Find(name)); });
}

std::string TMappedFileSource::FollowFileMap(const std::string& name) const {
  std::string current = name;
  for (int step = 0; step < kMaxFileMapDepth; ++step) {
    const std::string* target = fileMap_.Find(current);
    if (!target) break;
    current = *target;
  }
  return current;
}

TRef<TStream> TMappedFileSource::Open(const std::string& name) {
  return TRealFileSource::Open(FollowFileMap(name));
}

TRotationHook TurnForOrientation(int orientation) {
  switch (orientation) {
    case 3:
      return MakeTurnHook(TTurn::Half);
    case 6:
      return MakeTurnHook(TTurn::Clockwise);
    case 8:
      return MakeTurnHook(TTurn::CounterClockwise);
    default:
      return nullptr;
  }
}

}  // namespace vyr

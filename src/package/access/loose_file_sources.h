#pragma once
// File sources of an unpacked show: loose files on disk, found the way project paths are
// resolved (path modifiers, then the disk lookup with the show folder as last resort).

#include <string>

#include "package/access/file_map.h"
#include "package/access/file_source.h"
#include "project/ini/model.h"

namespace vyr {

// Loose files only. "file.gif|framesatlas" opens "file.gif": the rest addresses something
// inside the file for the caller.
class TRealFileSource : public TFileSource {
 public:
  explicit TRealFileSource(std::string showFolder = {});
  const std::string& ShowFolder() const { return showFolder_; }

 protected:
  TRef<TStream> Open(const std::string& name) override;

 private:
  std::string showFolder_;
};

// Loose files plus the project's [FileMap] and [RotationState].
class TMappedFileSource : public TRealFileSource {
 public:
  using TRealFileSource::TRealFileSource;

  // Reads both tables; a non-empty rotation table installs the source's rotation hook.
  // Done once, before the source is shared between threads.
  void LoadMaps(const TIniFile& project);
  const TFileMap& FileMap() const { return fileMap_; }
  const TRotationTable& Rotations() const { return rotations_; }

 protected:
  TRef<TStream> Open(const std::string& name) override;
  // The name a mapped name leads to (itself when not mapped); chains stop after
  // kMaxFileMapDepth steps.
  std::string FollowFileMap(const std::string& name) const;

 private:
  TFileMap fileMap_;
  TRotationTable rotations_;
};

// The turn of an EXIF orientation (3, 6 or 8); none for any other value.
TRotationHook TurnForOrientation(int orientation);

}  // namespace vyr

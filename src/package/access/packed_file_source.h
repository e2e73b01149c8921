#pragma once
// The file source of a packed show: the entries of one package, looked up by the project
// path exactly as written, behind the project's file map.

#include "package/access/loose_file_sources.h"
#include "package/container/vyr_unpack.h"

namespace vyr {

class TPackedFileSource : public TMappedFileSource {
 public:
  // The source keeps the reader for its whole life; the show folder is the package's folder.
  explicit TPackedFileSource(TRef<TVyrUnpack> package, std::string showFolder = {});

  const TVyrUnpack& Package() const { return *package_; }
  bool HasEntry(std::string_view name) const;

 protected:
  // An entry that lies outside the file or does not inflate opens as none.
  TRef<TStream> Open(const std::string& name) override;

 private:
  TRef<TVyrUnpack> package_;
};

class TFileAccessor;
// The package source behind an accessor; null for loose files.
TPackedFileSource* PackageSourceOf(const TFileAccessor* accessor);

}  // namespace vyr

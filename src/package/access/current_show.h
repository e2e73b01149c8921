#pragma once
// The show being played, process-wide: its accessor answers the process-wide stream opener
// (so loaders given a project path find the file wherever it lives), and its package serves
// the library hooks and the packaged colour tables.

#include "package/access/file_accessor.h"
#include "package/access/packed_file_source.h"

namespace vyr {

// Makes the accessor current and installs the stream opener over it (names it cannot open
// are tried as plain disk files); none restores the plain opener.
void SetCurrentShow(TRef<TFileAccessor> accessor);
TRef<TFileAccessor> CurrentShowAccessor();

// The package source behind an accessor; null for loose files.
TPackedFileSource* PackageSourceOf(const TFileAccessor* accessor);
// The current show's package source (kept alive by the reference); none for loose files.
TRef<TPackedFileSource> CurrentShowPackage();

}  // namespace vyr

#pragma once
// The process-wide file-open and file-create hooks: the running show installs its
// file access here so that loaders given a project path find the file wherever it lives.

#include <functional>
#include <string>

#include "foundation/stream.h"

namespace vyr {

using TStreamOpener = std::function<TRef<TStream>(const std::string& path)>;

// Opens a file for reading through the installed hook (default: the file on disk).
// Returns none when it cannot be opened.
TRef<TStream> OpenStreamByName(const std::string& path);
// Creates (or truncates) a file for writing through the installed hook.
TRef<TStream> CreateStreamByName(const std::string& path);

// Installing an empty function restores the default.
void SetStreamOpener(TStreamOpener opener);
void SetStreamCreator(TStreamOpener creator);

}  // namespace vyr

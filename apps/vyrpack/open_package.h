#pragma once
// Opening a package for a command, with the tool's error wording.

#include <string>

#include "foundation/stream.h"
#include "package/container/vyr_unpack.h"

namespace vyr::pack {

// Raises ECliError (status 2) with the reader's error text, or "not a show package".
TRef<TVyrUnpack> OpenPackage(const std::string& path);

// Opens an entry by its stored section name; raises ECliError (status 2) when it fails.
TRef<TStream> OpenStoredEntry(const TVyrUnpack& package, const std::string& section);

}  // namespace vyr::pack

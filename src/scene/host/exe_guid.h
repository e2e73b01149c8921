#pragma once
// The packaged build identifier that keys a show's text caches.

#include <string>

#include "foundation/stream.h"
#include "package/access/file_accessor.h"

namespace vyr {

inline constexpr const char* kExeGuidEntry = "ExeGUID";

// The text of an "ExeGUID" entry: a 32-bit character count, then that many UTF-16LE
// characters. Empty when the entry is short, or its count is negative or beyond reason.
std::string ReadExeGuid(TStream& stream);
// The show's key; empty when the show has no such entry.
std::string ReadFontCacheKey(TFileAccessor& files);

}  // namespace vyr

#pragma once
// The two library hooks called while a show opens. FFmpeg and Little CMS are linked into the
// program, so both report loaded; a show's own "ffmpeg.dll" or "lcms2.dll" entries are
// Windows binaries and are never written out or loaded.

#include "package/access/file_accessor.h"

namespace vyr {

inline constexpr const char* kDecoderLibraryEntry = "ffmpeg.dll";
inline constexpr const char* kColorLibraryEntry = "lcms2.dll";

// Whether the media decoder library is available (show may be null: a project file).
bool LoadDecoderLibrary(const TFileAccessor* show);
// Whether the colour-management library is available.
bool LoadColorManagementLibrary(const TFileAccessor* show);

}  // namespace vyr

#pragma once
// How the music loader opens the sounds of a running show: "LoadFromDisk:" names are disk
// files (found as the show's file access finds real files), every other name is opened
// through the show's file access, so package entries play without being written out.

#include "audio/decode/audio_stream.h"
#include "package/access/file_accessor.h"

namespace vyr {

// The opener keeps its own reference to the accessor.
TAudioOpenCallback MakeShowSoundOpener(TRef<TFileAccessor> accessor);

}  // namespace vyr

#pragma once
// Making a frame source: a chain of two factories, each testing the file name. ".gif" (any
// case) gets a TGifVideoSource, every other name the media library's TWinVideoSource.
// Every source made has its parameters entered once in a process-wide table keyed by the
// file name, ":" and the file's date.

#include <optional>
#include <string>

#include "foundation/stream.h"
#include "video/frame_source.h"

namespace vyr {

// None when no factory could make a source of the stream (the stream is released).
TRef<TFrameSource> MakeFrameSource(TRef<TStream> stream, const std::string& fileName,
                                   const std::string& fileDate);

// The parameters entered under a key, if any.
std::optional<TVideoSourceInfo> KnownVideoParams(const std::string& key);

}  // namespace vyr

#pragma once
// Where the picture decoders' warnings go: the program's log, or a hook that takes them.

#include <functional>
#include <string>

namespace vyr {

using TImagingLogSink = std::function<void(const std::string& line)>;

// An empty function (the default) sends the lines to the program's log.
void SetImagingLogSink(TImagingLogSink sink);
void ImagingLog(const std::string& line);

}  // namespace vyr

#pragma once
// Where the picture decoders' warnings go: a hook the program points at its log.

#include <functional>
#include <string>

namespace vyr {

using TImagingLogSink = std::function<void(const std::string& line)>;

// Installing an empty function silences the lines (the default).
void SetImagingLogSink(TImagingLogSink sink);
void ImagingLog(const std::string& line);

}  // namespace vyr

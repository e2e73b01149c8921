#pragma once
// `vyrpack decode INPUT OUTPUT.png [--level N] [--profile NAME|FILE]`: decodes a picture as the
// player would, at a reduction level, optionally converted to an output profile, into a PNG.

#include <string>
#include <vector>

#include "foundation/stream_opener.h"

namespace vyr {

// args are the words after "decode". INPUT is opened through `open` (which may understand
// "PACKAGE:ENTRY"), else through the process-wide stream opener. Returns the exit code:
// 0 done, 1 failure, 2 usage.
int RunDecodeCommand(const std::vector<std::string>& args, const TStreamOpener& open = nullptr);

}  // namespace vyr

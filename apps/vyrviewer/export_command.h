#pragma once
// vyrviewer --export: a show rendered frame by frame, headless, with its soundtrack, into
// a video file.

#include <string>

#include "long_options.h"

namespace vyr::viewer {

// The usage lines of the export, for --help.
std::string ExportUsage();

// Returns the exit status: 0 done, 1 failed (nothing under the output name), 2 bad
// options or show, 128 + the signal when stopped by SIGINT or SIGTERM.
int ExportCommand(const TLongOptions& options, const std::string& showPath, bool cover);

}  // namespace vyr::viewer

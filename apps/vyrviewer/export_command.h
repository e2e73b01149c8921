#pragma once
// vyrviewer --export: a show rendered frame by frame, headless, with its soundtrack, into
// a video file.

#include <string>

#include "frame_renderer.h"
#include "long_options.h"

namespace vyr::viewer {

// The usage lines of the export, for --help.
std::string ExportUsage();

// Returns the exit status: 0 done, 1 failed (nothing under the output name), 2 bad
// options or show, 128 + the signal when stopped by SIGINT, SIGTERM or SIGHUP.
// The renderer holds the opened show, at even sides.
int ExportCommand(const TLongOptions& options, TFrameRenderer& renderer);

}  // namespace vyr::viewer

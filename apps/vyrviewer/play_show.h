#pragma once
// Playing a show in the player's window: the start-up around the main window, the message
// loop and the exit status.

#include <string>

#include "long_options.h"

namespace vyr::viewer {

// Exit statuses: 0 a normal end, 1 the exit-with-code action (Enter under -startup) or an
// assertion or exception nobody caught (its message shown in a message box first), 2 a show
// that cannot be opened, a refused password, or no display.
int PlayShow(const TLongOptions& options, const std::string& program);

std::string ProgramPath(const char* argv0);
bool HasAppendedShow(const std::string& program);

}  // namespace vyr::viewer

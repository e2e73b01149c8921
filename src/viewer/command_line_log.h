#pragma once
// The log the command line asks for: "filelog" writes the log file, "log" (without
// "filelog") standard error, neither discards everything.

#include <string>

#include "foundation/log.h"
#include "viewer/command_line.h"

namespace vyr {

TRef<TLog> LogForOptions(const TCommandsStorage& table, const std::string& logFilePath);
// Installs the log for the process's own options (log file next to the program) and
// writes the header banner.
void InstallProcessLog();

}  // namespace vyr

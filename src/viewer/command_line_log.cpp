#include "viewer/command_line_log.h"

#include "platform/log_banner.h"
#include "platform/process_paths.h"

namespace vyr {

TRef<TLog> LogForOptions(const TCommandsStorage& table, const std::string& logFilePath) {
  if (table.HasOption("filelog")) return MakeRef<TFileLog>(logFilePath);
  if (table.HasOption("log")) return MakeRef<TStdLog>();
  return MakeRef<TLog>();
}

void InstallProcessLog() {
  const TCommandsStorage& table = ProcessCommands();
  SetGlobalLog(LogForOptions(table, table.HasOption("filelog") ? LogFilePath() : std::string()));
  WriteHeader();
}

}  // namespace vyr

#include "platform/log_banner.h"

#include "platform/process_paths.h"

namespace vyr {

std::vector<std::string> HeaderLines(std::string_view programPath, const TDateTime& started) {
  const std::string rule(64, '=');
  return {"", rule, "Program : " + std::string(programPath), "started : " + FormatDateTime(started),
          rule};
}

std::vector<std::string> FooterLines(const TDateTime& now, int64_t workTimeMs) {
  const std::string rule(64, '-');
  return {"", rule,
          "Program stoped : " + FormatDateTime(now) +
              " (work time : " + std::to_string(workTimeMs) + " ms)",
          rule};
}

namespace {
void WriteBanner(TLog& log, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) log.WriteUnprefixed(line);
}
}  // namespace

void WriteHeader(TLog& log) {
  WriteBanner(log, HeaderLines(ProgramPath(), ProcessStartDateTime()));
}

void WriteFooter(TLog& log) { WriteBanner(log, FooterLines(LocalDateTimeNow(), TickCount())); }

void WriteElapsed(std::string_view prefix, int64_t startTick, std::string_view suffix, TLog& log) {
  log.WriteLine(std::string(prefix) + std::to_string(TickCount() - startTick) +
                std::string(suffix));
}

}  // namespace vyr

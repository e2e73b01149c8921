#pragma once
// The start and stop banners of the log and the elapsed-time line: the log parts that
// need the program path and the clock.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/log.h"
#include "platform/clock.h"

namespace vyr {

std::vector<std::string> HeaderLines(std::string_view programPath, const TDateTime& started);
std::vector<std::string> FooterLines(const TDateTime& now, int64_t workTimeMs);

// Writes the banners to log without line prefixes.
void WriteHeader(TLog& log = GlobalLog());
void WriteFooter(TLog& log = GlobalLog());

// One line: prefix, TickCount() - startTick in decimal, suffix.
void WriteElapsed(std::string_view prefix, int64_t startTick, std::string_view suffix = {},
                  TLog& log = GlobalLog());

}  // namespace vyr

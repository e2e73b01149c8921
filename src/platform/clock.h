#pragma once
// The millisecond tick (monotonic, counted from process start) and local date-time texts.

#include <cstdint>
#include <string>

namespace vyr {

// Milliseconds since the process started, from CLOCK_MONOTONIC; never goes backwards.
int64_t TickCount();

struct TDateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

TDateTime LocalDateTimeNow();
// The local date and time captured when the process started.
const TDateTime& ProcessStartDateTime();
// "DD.MM.YYYY hh:mm:ss.mmm", e.g. "05.03.2012 09:07:02.045".
std::string FormatDateTime(const TDateTime& time);

}  // namespace vyr

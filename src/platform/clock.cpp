#include "platform/clock.h"

#include <time.h>

#include <cstdio>

namespace vyr {

namespace {

int64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int64_t StartMs() {
  static const int64_t start = MonotonicMs();
  return start;
}

// Both origins are taken while static objects are built, before main runs; first use
// from another static object's construction takes them a little earlier, never later.
[[maybe_unused]] const bool gOriginsTaken = (StartMs(), ProcessStartDateTime(), true);

}  // namespace

int64_t TickCount() { return MonotonicMs() - StartMs(); }

TDateTime LocalDateTimeNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  TDateTime result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  result.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return result;
}

const TDateTime& ProcessStartDateTime() {
  static const TDateTime start = LocalDateTimeNow();
  return start;
}

std::string FormatDateTime(const TDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d.%03d", t.day, t.month, t.year,
                t.hour, t.minute, t.second, t.millisecond);
  return text;
}

}  // namespace vyr

#pragma once
// CPU time of the calling thread (user and system) as a std::chrono clock: figures stay fair on
// a machine busy with other work, where wall time mostly measures waiting for a core.

#include <time.h>

#include <chrono>
#include <cstdint>

struct ThreadClock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<ThreadClock, duration>;
  static time_point now() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return time_point(duration(int64_t{now.tv_sec} * 1000000000 + now.tv_nsec));
  }
};

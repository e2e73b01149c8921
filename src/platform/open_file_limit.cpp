#include "platform/open_file_limit.h"

#include <sys/resource.h>

#include <fstream>

namespace vyr {

namespace {

// The most descriptors a process can have at all.
rlim_t KernelCeiling() {
  std::ifstream in("/proc/sys/fs/nr_open");
  uint64_t ceiling = 0;
  return in >> ceiling ? static_cast<rlim_t>(ceiling) : 0;
}

}  // namespace

uint64_t RaiseOpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  if (limit.rlim_cur != limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &raised) != 0 && limit.rlim_max == RLIM_INFINITY) {
      raised.rlim_cur = KernelCeiling();
      if (raised.rlim_cur > limit.rlim_cur) ::setrlimit(RLIMIT_NOFILE, &raised);
    }
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  }
  return limit.rlim_cur;
}

}  // namespace vyr

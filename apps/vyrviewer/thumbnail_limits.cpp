#include "thumbnail_limits.h"

#include <limits.h>
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vyr::viewer {

namespace {

// The sanitizers' shadow memory takes terabytes of address space: no limit fits beside it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The handler may only use what is async-signal-safe: the path is copied beforehand.
char gOut[PATH_MAX];

void OnTimeUp(int) {
  static const char kMessage[] = "vyrviewer: the thumbnail took too long; none written\n";
  (void)!::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  if (gOut[0] != '\0') ::unlink(gOut);
  ::_exit(1);
}

}  // namespace

void LimitThumbnailProcess(const std::string& out, int64_t addressSpace, unsigned seconds) {
  // glibc reserves 64 MiB of address space for each thread's arena and llvmpipe starts a
  // thread per core: neither is needed for one small picture.
  ::mallopt(M_ARENA_MAX, 1);
  ::setenv("LP_NUM_THREADS", "2", 0);
  rlimit limit{};
  if (!kSanitized && ::getrlimit(RLIMIT_AS, &limit) == 0) {
    const auto wanted = static_cast<rlim_t>(addressSpace);
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > wanted) limit.rlim_cur = wanted;
    ::setrlimit(RLIMIT_AS, &limit);
  }
  std::strncpy(gOut, out.c_str(), sizeof gOut - 1);
  struct sigaction action {};
  action.sa_handler = OnTimeUp;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(SIGALRM, &action, nullptr);
  ::alarm(seconds);
}

}  // namespace vyr::viewer

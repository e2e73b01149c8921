// The soft limit on open files rises to the hard one at start.

#include "platform/open_file_limit.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>

namespace vyr {
namespace {

constexpr rlim_t kLowered = 64;

// Runs in a child: lowers the soft limit, raises it again, and says through the exit status
// whether it reached the hard limit.
int LowerThenRaise() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 10;
  limit.rlim_cur = kLowered;
  if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return 11;
  const uint64_t raised = RaiseOpenFileLimit();
  rlimit now{};
  if (::getrlimit(RLIMIT_NOFILE, &now) != 0) return 12;
  if (raised != now.rlim_cur) return 13;
  const bool reached =
      now.rlim_max == RLIM_INFINITY ? now.rlim_cur > kLowered : now.rlim_cur == now.rlim_max;
  return reached ? 0 : 14;
}

TEST(OpenFileLimit, TheSoftLimitRisesToTheHardOne) {
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max <= kLowered) GTEST_SKIP() << "the hard limit is " << limit.rlim_max;
  EXPECT_EXIT(std::exit(LowerThenRaise()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vyr

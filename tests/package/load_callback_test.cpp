// The load-yield hook's four modes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <thread>

#include "package/container/load_callback.h"

namespace vyr {
namespace {

int CurrentNice() {
  errno = 0;
  return ::getpriority(PRIO_PROCESS, 0);
}

class LoadCallBackTest : public ::testing::Test {
 protected:
  void TearDown() override { SetLoadCallBackMode(TLoadCallBackMode::None); }
};

TEST_F(LoadCallBackTest, NoneReturnsAtOnceAndCancelAsksToStop) {
  SetLoadCallBackMode(TLoadCallBackMode::None);
  EXPECT_TRUE(LoadCallBack());
  SetLoadCallBackMode(TLoadCallBackMode::Cancel);
  EXPECT_EQ(LoadCallBackMode(), TLoadCallBackMode::Cancel);
  EXPECT_FALSE(LoadCallBack());
}

TEST_F(LoadCallBackTest, HighSleepSleepsOnlyWhenFiveMillisecondsPassed) {
  SetLoadCallBackMode(TLoadCallBackMode::HighSleep);
  std::this_thread::sleep_for(std::chrono::milliseconds(7));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(LoadCallBack());
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::microseconds(900));
  // The yield was just taken: the next calls return without sleeping. 1000 sleeps of
  // 1 ms would take a second.
  const auto burst = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) LoadCallBack();
  EXPECT_LT(std::chrono::steady_clock::now() - burst, std::chrono::milliseconds(500));
}

TEST_F(LoadCallBackTest, HighSleepRaisesPriorityWherePermittedAndRestoresIt) {
  const int normal = CurrentNice();
  SetLoadCallBackMode(TLoadCallBackMode::HighSleep);
  const int high = CurrentNice();
  EXPECT_LE(high, normal);
  const bool permitted = high < normal;
  SetLoadCallBackMode(TLoadCallBackMode::Yield);
  EXPECT_EQ(CurrentNice(), normal);
  EXPECT_TRUE(LoadCallBack());
  if (!permitted) GTEST_SKIP() << "raising the priority is not permitted here";
}

TEST_F(LoadCallBackTest, HighSleepReachesEveryThreadOfTheProcess) {
  std::atomic<bool> stop{false};
  std::atomic<int> threadNice{100};
  std::atomic<int> phase{0};
  std::thread worker([&] {
    while (!stop) {
      if (phase == 1) {
        threadNice = CurrentNice();
        phase = 2;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  const int normal = CurrentNice();
  SetLoadCallBackMode(TLoadCallBackMode::HighSleep);
  const bool permitted = CurrentNice() < normal;
  phase = 1;
  while (phase != 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  SetLoadCallBackMode(TLoadCallBackMode::None);
  stop = true;
  worker.join();
  if (!permitted) GTEST_SKIP() << "raising the priority is not permitted here";
  EXPECT_LT(threadNice.load(), normal);
}

}  // namespace
}  // namespace vyr

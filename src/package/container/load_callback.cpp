#include "package/container/load_callback.h"

#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

namespace vyr {

namespace {

constexpr int64_t kYieldIntervalMs = 5;
// Nice value that stands for the "high" priority class.
constexpr int kHighNice = -10;

std::atomic<int> gMode{0};
std::atomic<int> gCancels{0};
// One process-wide time of the last yield; a lost update only moves the next yield.
std::atomic<int64_t> gLastYieldMs{0};

std::mutex gPriorityLock;
std::vector<std::pair<int, int>> gSavedNice;  // (thread id, nice value before HighSleep)

std::vector<int> ProcessThreads() {
  std::vector<int> ids;
  if (DIR* dir = ::opendir("/proc/self/task")) {
    while (const dirent* entry = ::readdir(dir)) {
      const int id = std::atoi(entry->d_name);
      if (id > 0) ids.push_back(id);
    }
    ::closedir(dir);
  }
  if (ids.empty()) ids.push_back(static_cast<int>(::getpid()));
  return ids;
}

int NiceOf(int thread) {
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
  return errno == 0 ? nice : 0;
}

// On Linux a nice value belongs to one thread, so the whole process means every thread.
void RaisePriority() {
  gSavedNice.clear();
  for (const int thread : ProcessThreads()) {
    const int nice = NiceOf(thread);
    if (nice <= kHighNice) continue;
    if (::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), kHighNice) == 0)
      gSavedNice.emplace_back(thread, nice);
  }
}

void RestorePriority() {
  for (const auto& [thread, nice] : gSavedNice)
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice);
  gSavedNice.clear();
}

void SleepMs(int ms) {
  timespec wait{0, static_cast<long>(ms) * 1000000L};
  while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

bool TimeToYield() {
  const int64_t now = MonotonicMs();
  if (now - gLastYieldMs.load(std::memory_order_relaxed) <= kYieldIntervalMs) return false;
  gLastYieldMs.store(now, std::memory_order_relaxed);
  return true;
}

}  // namespace

int64_t MonotonicMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void SetLoadCallBackMode(TLoadCallBackMode mode) {
  std::lock_guard lock(gPriorityLock);
  const auto old = static_cast<TLoadCallBackMode>(gMode.load());
  if (old == mode) return;
  if (old == TLoadCallBackMode::HighSleep) RestorePriority();
  if (mode == TLoadCallBackMode::HighSleep) RaisePriority();
  gMode.store(static_cast<int>(mode));
}

TLoadCallBackMode LoadCallBackMode() { return static_cast<TLoadCallBackMode>(gMode.load()); }

TLoadCancel::TLoadCancel() { gCancels.fetch_add(1); }
TLoadCancel::~TLoadCancel() { gCancels.fetch_sub(1); }

bool LoadCallBack() {
  if (gCancels.load(std::memory_order_relaxed) > 0) return false;
  switch (static_cast<TLoadCallBackMode>(gMode.load(std::memory_order_relaxed))) {
    case TLoadCallBackMode::None:
      return true;
    case TLoadCallBackMode::Yield:
      if (TimeToYield()) ::sched_yield();
      return true;
    case TLoadCallBackMode::HighSleep:
      if (TimeToYield()) SleepMs(1);
      return true;
    case TLoadCallBackMode::Cancel:
      return false;
  }
  return true;
}

}  // namespace vyr

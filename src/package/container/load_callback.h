#pragma once
// The load-yield hook: entry streams call it after every chunk they read, so that long
// loads of a playing show give the processor away now and then.

#include <cstdint>

namespace vyr {

enum class TLoadCallBackMode : int {
  None = 0,       // returns at once; normal process priority
  Yield = 1,      // yields the processor (sched_yield) when 5 ms passed since the last yield
  HighSleep = 2,  // sleeps 1 ms when 5 ms passed; the process runs at high priority meanwhile
  Cancel = 3,     // returns false at once: the reading stream stops early
};

// Chooses the hook's behaviour. Entering HighSleep raises the scheduling priority of
// every thread of the process where that is permitted (silently skipped where not);
// leaving it restores what was there before.
void SetLoadCallBackMode(TLoadCallBackMode mode);
TLoadCallBackMode LoadCallBackMode();

// The hook itself; false asks the caller to stop reading.
bool LoadCallBack();

// While one of these lives the hook answers false whatever the mode: the loads and picture
// decodes still running stop early, so that stopping a player never waits for them.
class TLoadCancel {
 public:
  TLoadCancel();
  ~TLoadCancel();
  TLoadCancel(const TLoadCancel&) = delete;
  TLoadCancel& operator=(const TLoadCancel&) = delete;
};

// Milliseconds of the monotonic clock.
int64_t MonotonicMs();

}  // namespace vyr

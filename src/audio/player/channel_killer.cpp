#include "audio/player/channel_killer.h"

#include <time.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "audio/player/channel_music.h"
#include "audio/player/music_channel.h"
#include "foundation/exceptions.h"

namespace vyr {

double MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

namespace {

// Ends the killer when the process ends.
struct TKillerHolder {
  std::mutex lock;
  TRef<TChannelKiller> killer;
  ~TKillerHolder() {
    if (killer) {
      killer->Events().Post(TChannelKiller::kEventEnd);
      killer->Shutdown(1000);
    }
  }
};

TKillerHolder& Holder() {
  static TKillerHolder holder;
  return holder;
}

}  // namespace

TChannelKiller& TChannelKiller::Instance() {
  TKillerHolder& holder = Holder();
  std::lock_guard guard(holder.lock);
  if (!holder.killer) {
    holder.killer = MakeRef<TChannelKiller>();
    holder.killer->Start();
  }
  return *holder.killer;
}

void TChannelKiller::Add(TRef<TMusicChannel> instance) { Events().Post(kEventAdd, instance); }

void TChannelKiller::HandleEvent(TThreadEventList&, int32_t id, bool& handled,
                                 TRefObject* payload) {
  handled = true;
  if (id == kEventAdd) {
    instances_.push_back(TRef<TMusicChannel>::Share(static_cast<TMusicChannel*>(payload)));
  } else if (id == kEventEnd) {
    TThread::Terminate();
  }
}

void TChannelKiller::MainLoop() {
  Events().Process();
  if (IsTerminated()) return;
  if (instances_.empty()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return;
  }
  const double now = MonotonicMs();
  for (size_t i = 0; i < instances_.size();) {
    if (instances_[i]->KillDue(now)) {
      TRef<TMusicChannel> instance = std::move(instances_[i]);
      instances_.erase(instances_.begin() + static_cast<ptrdiff_t>(i));
      instance->Owner().InstanceKilled(*instance);
    } else {
      ++i;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TChannelKiller::ThreadFinished() {
  // Instances still queued at the end are handed back so their channels are not kept
  // waiting.
  for (auto& instance : instances_) instance->Owner().InstanceKilled(*instance);
  instances_.clear();
  TVyrThread::ThreadFinished();
}

}  // namespace vyr

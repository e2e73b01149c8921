#include "audio/player/channel_killer.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "audio/player/channel_music.h"
#include "audio/player/music_channel.h"
#include "foundation/exceptions.h"

namespace vyr {

std::recursive_mutex& InstanceOwnerLock() {
  static std::recursive_mutex lock;
  return lock;
}

namespace {

void HandBack(TMusicChannel& instance) {
  std::lock_guard guard(InstanceOwnerLock());
  if (TChannelMusic* owner = instance.Owner()) owner->InstanceKilled(instance);
}

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
  for (size_t i = 0; i < instances_.size();) {
    if (instances_[i]->KillDue()) {
      TRef<TMusicChannel> instance = std::move(instances_[i]);
      instances_.erase(instances_.begin() + static_cast<ptrdiff_t>(i));
      HandBack(*instance);
    } else {
      ++i;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TChannelKiller::ThreadFinished() {
  // Instances still queued at the end are handed back so their channels are not kept
  // waiting.
  for (auto& instance : instances_) HandBack(*instance);
  instances_.clear();
  TVyrThread::ThreadFinished();
}

}  // namespace vyr

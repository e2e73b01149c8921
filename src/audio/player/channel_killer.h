#pragma once
// The one thread per process that frees finished sound instances once their last sound
// has left the output.

#include <mutex>
#include <vector>

#include "foundation/ref_object.h"
#include "platform/thread.h"

namespace vyr {

class TMusicChannel;

// The killer's queue.
class TMusicEventList : public TThreadEventList {};

class TChannelKiller : public TVyrThread {
 public:
  static constexpr int32_t kEventAdd = 1026;
  static constexpr int32_t kEventEnd = 1025;

  // The process's killer, created and started on first use.
  static TChannelKiller& Instance();
  void Add(TRef<TMusicChannel> instance);

 protected:
  void HandleEvent(TThreadEventList& queue, int32_t id, bool& handled,
                   TRefObject* payload) override;
  void MainLoop() override;
  void ThreadFinished() override;

 private:
  std::vector<TRef<TMusicChannel>> instances_;
};

// Held while a killed instance is handed back to its channel and while a channel lets go
// of its instances, so an instance never reaches a channel that is being freed.
std::recursive_mutex& InstanceOwnerLock();

}  // namespace vyr

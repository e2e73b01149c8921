#pragma once
// A channel request of the music player: created by the loader thread, started and
// stopped by the player thread, carried between them in containers.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/player/channel_music.h"
#include "foundation/ref_object.h"

namespace vyr {

class TVyrChannel;

// The channels the player starts together at the end of a cycle.
using TChannelOperator = std::vector<TRef<TVyrChannel>>;

class TVyrChannel : public TRefObject {
 public:
  TVyrChannel(TChannelOperator& op, std::string name, int32_t startPosition, double startTime,
              double endTime, int itemId);

  void Start();
  void Stop();
  // Called by the operator's batch start.
  void PlayNow();

  TRef<TChannelMusic> channel;  // set by the loader
  bool stopped = true;
  int itemId;
  bool ready = false;
  std::string name;
  int32_t startPosition;
  double startTime;
  double endTime;
  bool playing = false;

 protected:
  void Dispose() override;

 private:
  TChannelOperator& operator_;
};

class TChannelContainer : public TRefObject {
 public:
  explicit TChannelContainer(TRef<TVyrChannel> channel) : channel(std::move(channel)) {}
  TRef<TVyrChannel> channel;
};

}  // namespace vyr

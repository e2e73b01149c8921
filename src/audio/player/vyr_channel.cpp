#include "audio/player/vyr_channel.h"

#include <algorithm>

#include "foundation/log.h"

namespace vyr {

TVyrChannel::TVyrChannel(TChannelOperator& op, std::string name, int32_t startPosition,
                         double startTime, double endTime, int itemId)
    : itemId(itemId),
      name(std::move(name)),
      startPosition(startPosition),
      startTime(startTime),
      endTime(endTime),
      operator_(op) {}

void TVyrChannel::Start() {
  if (!ready || playing) return;
  playing = true;
  operator_.push_back(TRef<TVyrChannel>::Share(this));
}

void TVyrChannel::PlayNow() {
  if (channel) channel->Play(10);
  stopped = false;
}

void TVyrChannel::Stop() {
  if (!playing) return;
  playing = false;
  const auto queued = std::find_if(operator_.begin(), operator_.end(),
                                   [this](const TRef<TVyrChannel>& c) { return c.Get() == this; });
  if (queued != operator_.end()) {
    operator_.erase(queued);
    return;
  }
  if (channel) channel->Stop(10);
  stopped = true;
  WriteLine("+++++++++++++++++++ Channel " + name + " Stop Time ");
}

void TVyrChannel::Dispose() {
  if (channel) {
    if (playing && !stopped) channel->Stop(10);
    channel = nullptr;
    WriteLine("+++++++++++++++++++ Destroy Channel ");
  }
  TRefObject::Dispose();
}

}  // namespace vyr

#include "audio/player/music_loader.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/player/vyr_channel.h"
#include "audio/player/vyr_music_player.h"
#include "foundation/log.h"

namespace vyr {

TMusicLoader::TMusicLoader(TVyrMusicPlayer& player, TRef<TMusicPlayerClass> engine)
    : player_(player), engine_(std::move(engine)) {}

void TMusicLoader::HandleEvent(TThreadEventList&, int32_t id, bool& handled, TRefObject* payload) {
  handled = true;
  auto* container = static_cast<TChannelContainer*>(payload);
  if (id == kEventCreate) {
    TVyrChannel& channel = *container->channel;
    if (channel.itemId >= 0 && engine_) {
      channel.channel = engine_->CreateChannel(channel.name, channel.startPosition);
      if (!channel.channel) WriteLine("+++++++++++++++++++ Channel Create ERROR");
    }
    if (channel.channel) {
      const double end = channel.channel->GetLength() - channel.startPosition + channel.startTime;
      channel.endTime = std::min(channel.endTime, end);
    }
    player_.Events().Post(TVyrMusicPlayer::kEventChannel,
                          TRef<TChannelContainer>::Share(container));
  } else if (id == kEventRelease) {
    container->channel = nullptr;
  }
}

void TMusicLoader::MainLoop() {
  Events().Process();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace vyr

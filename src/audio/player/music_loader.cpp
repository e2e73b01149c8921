#include "audio/player/music_loader.h"

#include <algorithm>

#include "audio/player/vyr_channel.h"
#include "audio/player/vyr_music_player.h"
#include "foundation/log.h"

namespace vyr {

TMusicLoader::TMusicLoader(TVyrMusicPlayer& player, TRef<TMusicPlayerClass> engine,
                           TAudioClock& clock, TAudioOpenCallback open)
    : player_(player), engine_(std::move(engine)), pacer_(clock) {
  if (engine_) engine_->SetOpenCallback(std::move(open));
}

bool TMusicLoader::Start() {
  pacer_.Enter();
  return TVyrThread::Start();
}

void TMusicLoader::Terminate() {
  TVyrThread::Terminate();
  pacer_.Wake();
}

void TMusicLoader::ThreadFinished() {
  TVyrThread::ThreadFinished();
  pacer_.Leave();
}

void TMusicLoader::PostEvent(int32_t id, TRef<TRefObject> payload) {
  Events().Post(id, std::move(payload));
  pacer_.Wake();
}

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
    player_.PostEvent(TVyrMusicPlayer::kEventChannel, TRef<TChannelContainer>::Share(container));
  } else if (id == kEventRelease) {
    container->channel = nullptr;
  }
}

void TMusicLoader::MainLoop() {
  Events().Process();
  pacer_.Pause(10);
}

}  // namespace vyr

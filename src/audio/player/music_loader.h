#pragma once
// The music loader thread: opens sound files and decoders for the player's channel
// requests, away from the player's thread, and releases channels it is done with.

#include "audio/player/music_player_class.h"
#include "platform/thread.h"

namespace vyr {

class TVyrMusicPlayer;

class TMusicLoader : public TVyrThread {
 public:
  static constexpr int32_t kEventCreate = 1;
  static constexpr int32_t kEventRelease = 3;

  TMusicLoader(TVyrMusicPlayer& player, TRef<TMusicPlayerClass> engine);

 protected:
  void HandleEvent(TThreadEventList& queue, int32_t id, bool& handled,
                   TRefObject* payload) override;
  void MainLoop() override;

 private:
  TVyrMusicPlayer& player_;
  TRef<TMusicPlayerClass> engine_;
};

}  // namespace vyr

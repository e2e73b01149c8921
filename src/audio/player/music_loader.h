#pragma once
// The music loader thread: opens sound files and decoders for the player's channel
// requests, away from the player's thread, and releases channels it is done with.

#include <memory>

#include "audio/player/cycle_pacer.h"
#include "audio/player/music_player_class.h"
#include "platform/thread.h"

namespace vyr {

class TVyrMusicPlayer;

class TMusicLoader : public TVyrThread {
 public:
  static constexpr int32_t kEventCreate = 1;
  static constexpr int32_t kEventRelease = 3;

  // Installs open as the engine's way of opening sound files; cycles on clock.
  TMusicLoader(TVyrMusicPlayer& player, TRef<TMusicPlayerClass> engine, TAudioClock& clock,
               TAudioOpenCallback open);

  bool Start() override;
  void Terminate() override;
  // Posts to the loader and wakes it.
  void PostEvent(int32_t id, TRef<TRefObject> payload);

 protected:
  void HandleEvent(TThreadEventList& queue, int32_t id, bool& handled,
                   TRefObject* payload) override;
  void MainLoop() override;
  void ThreadFinished() override;

 private:
  TVyrMusicPlayer& player_;
  TRef<TMusicPlayerClass> engine_;
  TCyclePacer pacer_;
};

}  // namespace vyr

#pragma once
// The player on the desktop's media controls (MPRIS 2): the name
// org.mpris.MediaPlayer2.vyrviewer (".instance<pid>" when another player holds it) on the
// session bus, the state the window publishes, and the requests of media keys, headset
// buttons and desktop widgets handed back to the window.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop/session_bus.h"

namespace vyr {

struct TMprisState {
  enum class TStatus { Playing, Paused, Stopped };
  TStatus status = TStatus::Stopped;
  int64_t positionUs = 0;
  int64_t lengthUs = 0;
  std::string title;
  std::string showFile;  // absolute path; its picture from the desktop's thumbnail cache is the art
  int slide = 0;         // 1-based
  int slideCount = 0;
  bool canNavigate = true;  // the show lets the viewer steer it

  // Everything but the position, which moves by itself.
  bool SameApartFromPosition(const TMprisState& other) const;
};

struct TMprisRequest {
  enum class TKind { Play, Pause, PlayPause, Stop, Next, Previous, Seek, SetPosition, Raise, Quit };
  TKind kind = TKind::Play;
  int64_t us = 0;  // Seek: the offset; SetPosition: the position
};

class TMprisService {
 public:
  // The handler runs on the bus thread: it posts the request to the window's thread.
  TMprisService(TSessionBus& bus, std::function<void(const TMprisRequest&)> handler);
  ~TMprisService();
  TMprisService(const TMprisService&) = delete;
  TMprisService& operator=(const TMprisService&) = delete;

  // Main thread, as often as it likes: changes reach the bus as property changes; the
  // position is passed on now and then, and clients extrapolate it meanwhile.
  void Publish(const TMprisState& state);
  // A jump of the show time (main thread).
  void Seeked(int64_t positionUs);

  struct TState;

 private:
  TSessionBus& bus_;
  std::shared_ptr<TState> state_;
  TMprisState published_;
  int64_t publishedAtMs_ = -1;
};

}  // namespace vyr

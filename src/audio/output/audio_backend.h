#pragma once
// Where the mix goes: the SDL audio device, nowhere at the pace of the monotonic clock
// (null), or to a consumer that pulls it (capture).

#include <memory>
#include <string>

#include "audio/output/audio_clock.h"
#include "audio/output/soft_mixer.h"

namespace vyr {

class TAudioBackend {
 public:
  virtual ~TAudioBackend() = default;
  // Starts consuming the mixer's output; false when there is no device.
  virtual bool Start(TSoftMixer& mixer) = 0;
  virtual void Stop() = 0;
  virtual TAudioClock& Clock() = 0;
  virtual const char* Name() const = 0;
  // Brings the play cursors up to "now" before they are read (the null backend mixes up
  // to the monotonic clock; a device or a consumer moves them on its own).
  virtual void CatchUp() {}
};

std::unique_ptr<TAudioBackend> MakeSdlBackend();
std::unique_ptr<TAudioBackend> MakeNullBackend();

}  // namespace vyr

#include "audio/output/device_removal.h"

#include <string_view>

#include "foundation/log.h"

namespace vyr {

bool FallBackAfterDeviceRemoval(TSoftWaveOutDevice& device) {
  if (std::string_view(device.Backend().Name()) != "sdl") return false;
  WriteLine("Audio: the sound device went away, the show plays on silently");
  return device.MoveToBackend(MakeNullBackend());
}

}  // namespace vyr

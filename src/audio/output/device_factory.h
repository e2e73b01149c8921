#pragma once
// The output device the environment asks for: VYR_AUDIO=sdl|null|capture:FILE.wav
// (default sdl, falling back to null with a log line when no device opens).

#include <string>

#include "audio/output/soft_wave_out.h"

namespace vyr {

TRef<TSoftWaveOutDevice> CreateWaveOutDevice(const std::string& choice);
// From the VYR_AUDIO environment variable.
TRef<TSoftWaveOutDevice> CreateWaveOutDeviceFromEnvironment();

}  // namespace vyr

#pragma once
// When the sound device goes away while a show plays, the show goes on silently: the mix
// moves to the null backend, which keeps the cursors (and so the show's clock) running.

#include "audio/output/soft_wave_out.h"

namespace vyr {

// True when the device played on SDL's device and now plays on the null backend.
bool FallBackAfterDeviceRemoval(TSoftWaveOutDevice& device);

}  // namespace vyr

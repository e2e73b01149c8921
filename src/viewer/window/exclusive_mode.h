#pragma once
// The exclusive-mode hook of a show the main window opened: full screen may take the display
// exclusively only while the desktop does not compose windows and the show's [Main]
// "opt_scr_noexclusive" is not set. Otherwise full screen is a borderless window of the
// desktop's size, which focus changes leave alone.

#include "project/ini/model.h"

namespace vyr {

bool ExclusiveModeAllowed(const TIniFile* project, bool composited);

// Hands the answer for this desktop to the device layer.
void ApplyExclusiveModeHook(const TIniFile* project);

}  // namespace vyr

#pragma once
// The colour choices of the command line, the same for the window player and the headless
// commands: "noicc" switches conversion off for every show; "icc" names the monitor profile
// ("auto" or no value: the screen's); the screen's profile also serves shows whose setting
// is "?".

#include "viewer/command_line.h"

namespace vyr {

void InstallColourOptions(const TCommandsStorage& table);

}  // namespace vyr

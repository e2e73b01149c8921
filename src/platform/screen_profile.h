#pragma once
// The colour profile the desktop publishes for the screen: under Wayland colord's profile of
// the first display over the system bus, when colord answers; under X11 the root window's
// "_ICC_PROFILE" property. Without either there is none.

#include <cstdint>
#include <string>
#include <vector>

namespace vyr {

// The ICC bytes of the session's screen; empty when there is none or no display.
std::vector<uint8_t> ReadScreenIccProfile();

// The root window's "_ICC_PROFILE" of the X display (empty name: DISPLAY).
std::vector<uint8_t> X11ScreenIccProfile(const std::string& displayName = {});

// The file of colord's default profile for its first display device, read whole; empty when
// colord does not answer within a second or names no readable file.
std::vector<uint8_t> ColordScreenIccProfile();

}  // namespace vyr

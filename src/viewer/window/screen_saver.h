#pragma once
// The process's terms with the desktop's screen saver: a screen-saver show runs only when
// started as one ("/s") and no other instance of the program runs; any other show keeps the
// display awake while it plays (SDL is told to allow the screen saver until then). Both are undone
// at process end.

namespace vyr {

// False when the show must not open: a screen-saver show with another instance running or
// without the start token.
bool EnterScreenSaverModes(bool screenSaverShow, bool startToken);
void LeaveScreenSaverModes();
// In the keep-awake mode the screen saver is held off only while the show plays (SDL's switch:
// the X11 screen-saver extension, or the Wayland idle inhibitor). Whether it is held off now.
bool HoldScreenSaverOff(bool playing);

}  // namespace vyr

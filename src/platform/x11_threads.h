#pragma once
// X11 facts the player needs outside SDL: Xlib made safe for the engine thread's GL calls
// next to the main thread's event loop, the X11 window of an SDL window, its background, and
// bringing another program's window forward.

struct SDL_Window;

namespace vyr {

// Call before the first X11 connection is opened (before SDL's video starts).
void EnableX11Threads();
// Raises and focuses the X11 window with that id; false when there is no X display or
// no such window.
bool ActivateX11Window(unsigned long windowId);
// The X11 window of an SDL window; 0 when SDL does not run on X11.
unsigned long X11WindowOf(SDL_Window* window);
// Has the X server fill the SDL window with the colour (0xRRGGBB) wherever it is exposed
// before anything is drawn into it, from the moment it maps; false when SDL does not run on
// X11.
bool SetX11WindowBackground(SDL_Window* window, unsigned int rgb);

}  // namespace vyr

#pragma once
// Whether the desktop composes windows: a Wayland session always does; an X11 desktop does
// while a compositing manager holds the screen's "_NET_WM_CM_S<n>" selection.

namespace vyr {

bool DesktopComposited();

}  // namespace vyr

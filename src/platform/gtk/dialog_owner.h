#pragma once
// The window a dialog belongs to, and the pump that keeps that window alive while a dialog
// runs. Free of GTK types, so the player can name its window without including GTK.

#include <functional>

namespace vyr {

// The show window as the windowing system knows it; 0 for none. A dialog is transient for
// it, so it stays above a full-screen show.
struct TDialogOwner {
  unsigned long x11Window = 0;
};

// Called every 10 ms while a GTK dialog runs, so the show window keeps answering the window
// manager. The default pumps SDL's events when SDL's video is up; the player installs its own
// (SDL events and the application's event bus). An empty function restores the default.
void SetDialogEventPump(std::function<void()> pump);

// Whether a dialog can be shown here: on the main thread, with a display that GTK opens.
// Starts GTK once on the first call that can; never without a display.
bool DialogsAvailable();

}  // namespace vyr

#pragma once
// The GTK side of the viewer's dialogs: start-up, the event pump while a dialog runs, the
// DPI scale of dialog layouts, the compact style and the owner window.

#include <gtk/gtk.h>

#include "platform/gtk/dialog_owner.h"

namespace vyr {

// The scale of a dialog's layout, taken once per dialog: the desktop's DPI and GTK's own
// scale factor.
struct TDialogScale {
  int dpi = 96;
  int gtkScale = 1;
  // A length at 96 dpi in GTK's units: scaled by DPI / 96 and rounded, then divided by GTK's
  // scale factor, so nothing is scaled twice.
  int Pixels(int lengthAt96) const;
};
TDialogScale CurrentDialogScale();

// Marks a dialog window for the compact style (no theme minimum sizes or paddings on its
// buttons, entries and check boxes), so the layout's sizes are the real sizes.
void UseCompactStyle(GtkWidget* window);

// Makes the realised window transient for the owner window (X11 only; nothing otherwise).
void SetTransientForOwner(GtkWindow* window, TDialogOwner owner);

// While alive, pumps the show window's events every 10 ms (see SetDialogEventPump).
class TDialogPumpScope {
 public:
  TDialogPumpScope();
  ~TDialogPumpScope();
  TDialogPumpScope(const TDialogPumpScope&) = delete;
  TDialogPumpScope& operator=(const TDialogPumpScope&) = delete;

 private:
  unsigned source_ = 0;
};

// Runs a modal dialog with the pump, transient for the owner; answers its response id.
int RunModalDialog(GtkDialog* dialog, TDialogOwner owner);

}  // namespace vyr

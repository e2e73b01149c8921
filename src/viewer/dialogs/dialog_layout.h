#pragma once
// A dialog laid out by fixed positions at 96 dpi: a GtkDialog whose client area is one
// fixed container of the given size, scaled to the desktop's DPI.

#include <gtk/gtk.h>

#include <string>

#include "platform/gtk/gtk_session.h"

namespace vyr {

class TFixedDialog {
 public:
  TFixedDialog(const std::string& caption, int clientWidth, int clientHeight);
  ~TFixedDialog();
  TFixedDialog(const TFixedDialog&) = delete;
  TFixedDialog& operator=(const TFixedDialog&) = delete;

  GtkDialog* Dialog() const { return GTK_DIALOG(dialog_); }
  // Puts a widget at (x, y) with size w x h, all at 96 dpi; the name identifies it.
  void Place(GtkWidget* widget, const char* name, int x, int y, int w, int h);
  // A push button that ends the dialog with that response.
  GtkWidget* AddButton(const std::string& text, const char* name, int response, int x, int y, int w,
                       int h);
  // A button that calls back without ending the dialog.
  GtkWidget* AddActionButton(const std::string& text, const char* name, int x, int y, int w, int h,
                             GCallback clicked, gpointer data);

 private:
  TDialogScale scale_;
  GtkWidget* dialog_;
  GtkWidget* fixed_;
};

// The named widget inside a container (depth first), or null.
GtkWidget* FindNamedWidget(GtkWidget* root, const char* name);

}  // namespace vyr

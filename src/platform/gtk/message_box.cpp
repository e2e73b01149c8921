#include "platform/gtk/message_box.h"

#include <cstdio>

#include "platform/gtk/gtk_session.h"

namespace vyr {

void ShowMessageBox(const std::string& caption, const std::string& text, TDialogOwner owner) {
  if (!DialogsAvailable()) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return;
  }
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                          GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  RunModalDialog(GTK_DIALOG(box), owner);
  gtk_widget_destroy(box);
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace vyr

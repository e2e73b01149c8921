#include "platform/gtk/message_box.h"

#include <cstdio>

#include "platform/gtk/gtk_session.h"

namespace vyr {

void ShowMessageBox(const std::string& caption, const std::string& text, TDialogOwner owner) {
  if (!DialogsAvailable()) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return;
  }
  // Built from its properties: GTK is opened on first use, and its functions that take a
  // variable argument list have no forward.
  auto* box = static_cast<GtkWidget*>(g_object_new(
      GTK_TYPE_MESSAGE_DIALOG, "message-type", GTK_MESSAGE_OTHER, "buttons", GTK_BUTTONS_OK, "text",
      text.c_str(), "modal", TRUE, "title", caption.c_str(), nullptr));
  RunModalDialog(GTK_DIALOG(box), owner);
  gtk_widget_destroy(box);
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace vyr

#include "viewer/dialogs/consent_dialog.h"

#include <gtk/gtk.h>

#include "platform/gtk/gtk_session.h"

namespace vyr {
namespace {

enum TResponse { kAllowOnce = 1, kAlwaysAllow = 2, kDontAllow = 3 };

GtkWidget* Label(const std::string& text, const char* name) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_widget_set_name(label, name);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 72);
  return label;
}

GtkWidget* Button(GtkDialog* dialog, const char* text, const char* name, int response) {
  GtkWidget* button = gtk_dialog_add_button(dialog, text, response);
  gtk_widget_set_name(button, name);
  return button;
}

}  // namespace

TConsentAnswer AskConsent(const TConsentSubject& subject, const std::string& showName,
                          TDialogOwner owner) {
  const TConsentText text = ConsentTextOf(subject, showName);
  GtkWidget* window = GTK_WIDGET(g_object_new(GTK_TYPE_DIALOG, "use-header-bar", FALSE, "title",
                                              text.caption.c_str(), "resizable", TRUE, nullptr));
  g_object_ref_sink(window);
  GtkDialog* dialog = GTK_DIALOG(window);
  GtkWidget* content = gtk_dialog_get_content_area(dialog);
  gtk_container_set_border_width(GTK_CONTAINER(content), 12);
  gtk_box_set_spacing(GTK_BOX(content), 8);

  gtk_box_pack_start(GTK_BOX(content), Label(text.heading, "heading"), FALSE, FALSE, 0);
  // Exactly what would start, one item a line, in a fixed-width font.
  GtkWidget* details = Label(text.details, "details");
  gtk_label_set_selectable(GTK_LABEL(details), FALSE);
  for (auto margin : {gtk_widget_set_margin_start, gtk_widget_set_margin_end,
                      gtk_widget_set_margin_top, gtk_widget_set_margin_bottom})
    margin(details, 4);
  gtk_style_context_add_class(gtk_widget_get_style_context(details), "monospace");
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_propagate_natural_height(GTK_SCROLLED_WINDOW(scrolled), TRUE);
  gtk_scrolled_window_set_max_content_height(GTK_SCROLLED_WINDOW(scrolled), 320);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(scrolled), details);
  gtk_box_pack_start(GTK_BOX(content), scrolled, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(content), Label(text.note, "note"), FALSE, FALSE, 0);

  Button(dialog, "_Allow once", "allow-once", kAllowOnce);
  Button(dialog, "Al_ways allow for this show", "always-allow", kAlwaysAllow);
  GtkWidget* refuse = Button(dialog, "_Don't allow", "dont-allow", kDontAllow);
  gtk_dialog_set_default_response(dialog, kDontAllow);
  gtk_widget_show_all(content);
  gtk_widget_grab_focus(refuse);

  const int response = RunModalDialog(dialog, owner);
  gtk_widget_destroy(window);
  g_object_unref(window);
  // Let the window go away before the show goes on.
  while (gtk_events_pending()) gtk_main_iteration();
  switch (response) {
    case kAllowOnce:
      return TConsentAnswer::AllowOnce;
    case kAlwaysAllow:
      return TConsentAnswer::AlwaysAllow;
    default:
      return TConsentAnswer::DontAllow;
  }
}

}  // namespace vyr

#include "viewer/dialogs/dialog_layout.h"

#include <cstring>

#include "platform/gtk/gtk_session.h"

namespace vyr {
namespace {

void RespondWithButtonId(GtkButton* button, gpointer dialog) {
  gtk_dialog_response(GTK_DIALOG(dialog),
                      GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "vyr-response")));
}

// Labels shrink with an ellipsis instead of widening the layout.
void Ellipsize(GtkWidget* widget) {
  if (GtkWidget* label = gtk_bin_get_child(GTK_BIN(widget)); label && GTK_IS_LABEL(label))
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
}

}  // namespace

TFixedDialog::TFixedDialog(const std::string& caption, int clientWidth, int clientHeight)
    : scale_(CurrentDialogScale()) {
  dialog_ = GTK_WIDGET(g_object_new(GTK_TYPE_DIALOG, "use-header-bar", FALSE, "title",
                                    caption.c_str(), "resizable", FALSE, nullptr));
  g_object_ref_sink(dialog_);
  UseCompactStyle(dialog_);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog_));
  // The buttons live in the layout, not in the dialog's own button row.
  GList* children = gtk_container_get_children(GTK_CONTAINER(content));
  for (GList* child = children; child; child = child->next) {
    gtk_widget_set_no_show_all(GTK_WIDGET(child->data), TRUE);
    gtk_widget_hide(GTK_WIDGET(child->data));
  }
  g_list_free(children);
  gtk_container_set_border_width(GTK_CONTAINER(content), 0);
  gtk_box_set_spacing(GTK_BOX(content), 0);
  fixed_ = gtk_fixed_new();
  gtk_widget_set_name(fixed_, "client");
  gtk_widget_set_size_request(fixed_, scale_.Pixels(clientWidth), scale_.Pixels(clientHeight));
  gtk_box_pack_start(GTK_BOX(content), fixed_, TRUE, TRUE, 0);
  gtk_widget_show(fixed_);
}

TFixedDialog::~TFixedDialog() {
  gtk_widget_destroy(dialog_);
  g_object_unref(dialog_);
  // Let the window go away before the show goes on.
  while (gtk_events_pending()) gtk_main_iteration();
}

void TFixedDialog::Place(GtkWidget* widget, const char* name, int x, int y, int w, int h) {
  gtk_widget_set_name(widget, name);
  gtk_widget_set_size_request(widget, scale_.Pixels(w), scale_.Pixels(h));
  gtk_fixed_put(GTK_FIXED(fixed_), widget, scale_.Pixels(x), scale_.Pixels(y));
  gtk_widget_show(widget);
}

GtkWidget* TFixedDialog::AddButton(const std::string& text, const char* name, int response, int x,
                                   int y, int w, int h) {
  GtkWidget* button = gtk_button_new_with_label(text.c_str());
  Ellipsize(button);
  g_object_set_data(G_OBJECT(button), "vyr-response", GINT_TO_POINTER(response));
  g_signal_connect(button, "clicked", G_CALLBACK(RespondWithButtonId), dialog_);
  Place(button, name, x, y, w, h);
  return button;
}

GtkWidget* TFixedDialog::AddActionButton(const std::string& text, const char* name, int x, int y,
                                         int w, int h, GCallback clicked, gpointer data) {
  GtkWidget* button = gtk_button_new_with_label(text.c_str());
  Ellipsize(button);
  g_signal_connect(button, "clicked", clicked, data);
  Place(button, name, x, y, w, h);
  return button;
}

GtkWidget* FindNamedWidget(GtkWidget* root, const char* name) {
  if (!root) return nullptr;
  if (std::strcmp(gtk_widget_get_name(root), name) == 0) return root;
  if (!GTK_IS_CONTAINER(root)) return nullptr;
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(root));
  for (GList* child = children; child && !found; child = child->next)
    found = FindNamedWidget(GTK_WIDGET(child->data), name);
  g_list_free(children);
  return found;
}

}  // namespace vyr

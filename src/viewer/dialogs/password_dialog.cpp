#include "viewer/dialogs/password_dialog.h"

#include <gtk/gtk.h>

#include <exception>

#include "platform/gtk/gtk_session.h"
#include "viewer/dialogs/dialog_layout.h"

namespace vyr {

TVyrPasswordDialog::TVyrPasswordDialog(const TPasswordTexts& texts)
    : layout_(std::make_unique<TFixedDialog>(texts.caption, 260, 98)) {
  GtkWidget* label = gtk_label_new(texts.label.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  layout_->Place(label, "label", 12, 12, 244, 16);
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
  gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
  gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
  layout_->Place(entry, "entry", 12, 32, 236, 21);
  entry_ = entry;
  GtkWidget* ok = layout_->AddButton(texts.ok, "ok", kOk, 52, 62, 75, 25);
  layout_->AddButton(texts.cancel, "cancel", kCancel, 133, 62, 75, 25);
  gtk_widget_set_can_default(ok, TRUE);
  gtk_widget_grab_default(ok);
  gtk_widget_grab_focus(entry);
}

TVyrPasswordDialog::~TVyrPasswordDialog() = default;

int TVyrPasswordDialog::Run(TDialogOwner owner) {
  return RunModalDialog(layout_->Dialog(), owner) == kOk ? kOk : kCancel;
}

std::string TVyrPasswordDialog::Text() const { return gtk_entry_get_text(GTK_ENTRY(entry_)); }

bool PasswordCheck(TDialogOwner owner, const TIniFile* project) {
  try {
    if (!ShowNeedsPassword(project)) return true;
    if (!DialogsAvailable()) return false;
    TVyrPasswordDialog dialog(PasswordTexts(project));
    if (dialog.Run(owner) != TVyrPasswordDialog::kOk) return false;
    return PasswordMatches(project, dialog.Text());
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace vyr

#pragma once
// TVyrPasswordDialog: caption, a label, a masked one-line entry, OK (default) and Cancel.

#include <memory>
#include <string>

#include "platform/gtk/dialog_owner.h"
#include "viewer/dialogs/password_check.h"

typedef struct _GtkWidget GtkWidget;

namespace vyr {

class TFixedDialog;

class TVyrPasswordDialog {
 public:
  static constexpr int kOk = 1;
  static constexpr int kCancel = 2;

  // GTK must be available (DialogsAvailable()).
  explicit TVyrPasswordDialog(const TPasswordTexts& texts);
  ~TVyrPasswordDialog();
  TVyrPasswordDialog(const TVyrPasswordDialog&) = delete;
  TVyrPasswordDialog& operator=(const TVyrPasswordDialog&) = delete;

  // kOk or kCancel (Escape and closing the window are Cancel).
  int Run(TDialogOwner owner);
  std::string Text() const;

 private:
  std::unique_ptr<TFixedDialog> layout_;
  GtkWidget* entry_;
};

// The whole check with the dialog: allowed when the show asks for no password, or when
// the dialog ends with OK and the right text. Any failure refuses.
bool PasswordCheck(TDialogOwner owner, const TIniFile* project);

}  // namespace vyr

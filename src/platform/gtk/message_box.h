#pragma once
// A plain message box with one OK button, for errors the viewer reports to the user.

#include <string>

#include "platform/gtk/dialog_owner.h"

namespace vyr {

// Runs a modal message box (caption, text, OK) transient for the owner. Without a display
// (or when GTK cannot start) the caption and text go to standard error instead.
void ShowMessageBox(const std::string& caption, const std::string& text, TDialogOwner owner = {});

}  // namespace vyr

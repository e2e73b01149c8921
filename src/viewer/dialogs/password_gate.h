#pragma once
// The one gate every way of showing a show passes: the player's window and every headless
// mode (single frames, frame series, exports).

#include <string>

#include "platform/gtk/dialog_owner.h"
#include "project/ini/model.h"

namespace vyr {

struct TPasswordGateOptions {
  // The password dialog is used (the player's window on a display); else the password is
  // read headless: from passwordFile when given, else from the terminal when standard input
  // is one, else the show is refused.
  bool useDialog = false;
  TDialogOwner owner;
  std::string passwordFile;  // its first line, without the line end
};

struct TPasswordGateResult {
  bool allowed = false;
  std::string refusal;  // why, for the user, when refused
};

TPasswordGateResult PasswordGate(const TIniFile* project, const TPasswordGateOptions& options);

// The first line of a file without its line end; false when it cannot be read.
bool ReadPasswordFile(const std::string& path, std::string& password);
// Prompts on standard error and reads a line from standard input with echo off; false when
// standard input is not a terminal or nothing could be read.
bool ReadPasswordFromTerminal(const std::string& prompt, std::string& password);

}  // namespace vyr

#include "viewer/dialogs/password_check.h"

#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {
namespace {

constexpr const char* kMain = "Main";
// Stands in for a missing "opt_pass": 23 letters and digits nobody types by chance.
constexpr std::string_view kUnguessablePassword = "q7Xv2KmR9tLw4ZbN8cJh3Ye";
static_assert(kUnguessablePassword.size() == 23);

}  // namespace

bool ShowNeedsPassword(const TIniFile* project) {
  return ReadBool(project, kMain, "opt_usepass", false);
}

TPasswordTexts PasswordTexts(const TIniFile* project) {
  return {ReadText(project, kMain, "opt_lng_password_caption", "Password required"),
          ReadText(project, kMain, "opt_lng_password_label", "Enter password:"),
          ReadText(project, kMain, "opt_lng_button_ok", "OK"),
          ReadText(project, kMain, "opt_lng_button_cancel", "Cancel")};
}

bool PasswordMatches(const TIniFile* project, std::string_view typed) {
  const TIniItem* stored = FindKey(FindSection(project, kMain), "opt_pass");
  return typed == (stored ? std::string_view(stored->Value()) : kUnguessablePassword);
}

}  // namespace vyr

#pragma once
// The password that guards a show: whether the project asks for one, the texts of its
// dialog, and the comparison.

#include <string>
#include <string_view>

#include "project/ini/model.h"

namespace vyr {

struct TPasswordTexts {
  std::string caption;
  std::string label;
  std::string ok;
  std::string cancel;
};

// [Main] "opt_usepass".
bool ShowNeedsPassword(const TIniFile* project);
// The dialog's texts from [Main], with their defaults.
TPasswordTexts PasswordTexts(const TIniFile* project);
// The typed text against [Main] "opt_pass": case-sensitive, whole text. A show that asks
// for a password but stores none matches nothing: a fixed text stands in for it.
bool PasswordMatches(const TIniFile* project, std::string_view typed);

}  // namespace vyr

#pragma once
// Identities of project objects that arrive without one.

#include <string>

namespace vyr {

// A fresh random GUID in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string NewGuidText();

}  // namespace vyr

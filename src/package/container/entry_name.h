#pragma once
// Entry names as section names of the package directory: "[" and "]" cannot stand in a
// section header, and control characters cannot stand on a line.

#include <string>
#include <string_view>

namespace vyr {

// "[" -> "<", "]" -> ">", each byte below 32 -> "#" and two upper-case hex digits.
std::string EscapeEntryName(std::string_view name);
// The name a user recognises: "<" -> "[" and ">" -> "]". "#" sequences stay as stored,
// because "#" is a legal file-name character and cannot be told apart.
std::string RecoverEntryName(std::string_view section);

}  // namespace vyr

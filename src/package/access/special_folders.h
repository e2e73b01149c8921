#pragma once
// The folders a project may name by placeholder, and the TEMP folder. Every folder is
// answered with a trailing "/".

#include <string>
#include <string_view>

namespace vyr {

// The first existing folder of $TMPDIR, $TMP, $TEMP and /tmp; empty when none exists.
std::string TempFolderPath();

// The folder of a placeholder ("%APPDATA%", "%LOCALAPPDATA%", "%PROGRAMDATA%",
// "%SYSTEMROOT%", "%TEMP%", any case); empty for any other token or when unknown.
std::string SpecialFolder(std::string_view placeholder);

// Longest placeholder token, both "%" included.
inline constexpr size_t kMaxPlaceholderLength = 14;

// Expands one folder placeholder at the very start of the path; a "\" or "/" right after it
// is dropped, because the folder already ends with one. Other paths come back unchanged.
std::string ExpandFolderPlaceholder(std::string_view path);

}  // namespace vyr

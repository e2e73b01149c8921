#pragma once
// Text in the ANSI code page of old project files: Windows-1252, or the code page
// named by the environment variable VYR_CODEPAGE (an iconv name such as "CP1251").

#include <string>
#include <string_view>

namespace vyr {

// Converts to UTF-8. A byte the code page cannot decode becomes the code point of the
// same number (as Windows does for the holes of its single-byte code pages), so the
// rest of the text is never lost.
std::string AnsiToUtf8(std::string_view bytes);
// The iconv name of the ANSI code page in force.
std::string AnsiCodePageName();

}  // namespace vyr

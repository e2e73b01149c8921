#pragma once
// Splitting a text into lines: CR LF, LF CR, a lone CR and a lone LF each end a line.

#include <string>
#include <string_view>
#include <vector>

namespace vyr {

// The lines of the text, without their breaks; the last line needs no break, and a break at
// the very end leaves an empty last line (a text always has at least one line).
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace vyr

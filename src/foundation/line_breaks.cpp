#include "foundation/line_breaks.h"

namespace vyr {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    // CR LF and LF CR end one line; CR CR and LF LF end two.
    if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c)
      ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace vyr

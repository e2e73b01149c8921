#include "json_text.h"

#include <cstdio>

#include "foundation/utf.h"

namespace vyr::pack {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t pos = 0; pos < text.size();) {
    const char32_t c = NextCodePoint(text, pos);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    } else {
      AppendUtf8(out, c);
    }
  }
  return out + "\"";
}

}  // namespace vyr::pack

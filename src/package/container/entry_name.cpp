#include "package/container/entry_name.h"

namespace vyr {

std::string EscapeEntryName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size());
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '[') {
      out += '<';
    } else if (c == ']') {
      out += '>';
    } else if (byte < 32) {
      out += '#';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string RecoverEntryName(std::string_view section) {
  std::string out(section);
  for (char& c : out) {
    if (c == '<') c = '[';
    if (c == '>') c = ']';
  }
  return out;
}

}  // namespace vyr

#include "project/ini/value_text.h"

namespace vyr {

std::string EncodeValueText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r' || c == '\n') {
      // CR LF and LF CR are one break each.
      const char next = i + 1 < text.size() ? text[i + 1] : '\0';
      if ((next == '\r' || next == '\n') && next != c) ++i;
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> TryDecodeValueText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == bytes.size()) return std::nullopt;
    if (bytes[i] == '\\') {
      out += '\\';
    } else if (bytes[i] == 'n') {
      out += "\r\n";
    } else {
      return std::nullopt;
    }
  }
  return out;
}

std::string DecodeValueText(std::string_view bytes) {
  return TryDecodeValueText(bytes).value_or(std::string());
}

}  // namespace vyr

#pragma once
// UTF-8 <-> UTF-16. Lone surrogates of UTF-16 text survive the round trip
// (written as three-byte sequences); malformed UTF-8 bytes become U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace vyr {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
std::u32string Utf8ToUtf32(std::string_view text);
std::string Utf32ToUtf8(std::u32string_view text);

// Decodes one code point at text[pos] and advances pos (at least one byte).
char32_t NextCodePoint(std::string_view text, size_t& pos);
void AppendUtf8(std::string& out, char32_t codePoint);

// The first maxCodePoints code points of the text, cut between two of them (a malformed
// byte counts as one).
std::string_view Utf8Prefix(std::string_view text, size_t maxCodePoints);

}  // namespace vyr

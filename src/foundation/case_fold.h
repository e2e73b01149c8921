#pragma once
// Case-insensitive names by Unicode simple case folding. Comparison and hash
// both work on folded code points, so equal names always hash alike.

#include <cstdint>
#include <string>
#include <string_view>

namespace vyr {

char32_t FoldCase(char32_t codePoint);
// The UTF-8 text with every code point folded.
std::string FoldCaseUtf8(std::string_view text);
// UTF-8 names equal under case folding.
bool SameName(std::string_view a, std::string_view b);
// Hash of the folded code points of a UTF-8 name.
uint32_t NameHash(std::string_view name);

}  // namespace vyr

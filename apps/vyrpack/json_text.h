#pragma once
// JSON string literals from UTF-8 text (malformed bytes become U+FFFD).

#include <string>
#include <string_view>

namespace vyr::pack {

std::string JsonString(std::string_view text);

}  // namespace vyr::pack

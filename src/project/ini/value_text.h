#pragma once
// Value text: several lines in one value. A backslash is written as two, each line
// break (CR LF, LF CR, CR, LF) as backslash + "n".

#include <optional>
#include <string>
#include <string_view>

namespace vyr {

std::string EncodeValueText(std::string_view text);
// Backslash-n becomes CR LF; any other escape, or a lone final backslash, gives "".
std::string DecodeValueText(std::string_view bytes);
// As DecodeValueText, but says when the encoding is invalid.
std::optional<std::string> TryDecodeValueText(std::string_view bytes);

}  // namespace vyr

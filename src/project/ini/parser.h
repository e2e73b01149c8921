#pragma once
// The INI parser: classifies each line and builds the model in text order.

#include <cstddef>
#include <string_view>

#include "project/ini/model.h"

namespace vyr {

// An object start nested deeper than this is kept as a text line (and so its "end"
// closes the enclosing block), so that hostile input cannot exhaust the stack of
// the recursive writer, clone and release.
inline constexpr size_t kMaxIniObjectDepth = 256;

// Appends the items of UTF-8 text to the file (which is normally empty).
void ParseIniText(TIniFile& file, std::string_view text);

}  // namespace vyr

#pragma once
// The value lists of bar descriptions: "x,y,w,h" rectangles, "w,h" sizes and "column,row"
// cells, split at the commas that are not inside double quotes, each part trimmed.

#include <string>
#include <string_view>
#include <vector>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

std::vector<std::string> SplitValueList(std::string_view text);
// A decimal integer; a part that is not a number counts as fallback.
int ValueListInt(std::string_view part, int fallback);

struct TRectValue {
  TRect rect;     // (x, y) to (x + w, y + h)
  int parts = 0;  // how many parts the text had
};
TRectValue ParseRectValue(std::string_view text);
// Exactly two integers, else (0, 0).
TPoint ParseSizeValue(std::string_view text);

}  // namespace vyr

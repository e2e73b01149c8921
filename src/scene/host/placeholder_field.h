#pragma once
// "TextWithSize:" pictures: a sized grey field with a text in its middle, standing where a
// pre-rendered text picture is not there.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

inline constexpr uint32_t kFieldOuterColor = 0xFFAAAAAA;  // (170, 170, 170)
inline constexpr uint32_t kFieldInnerColor = 0xFF646464;  // (100, 100, 100)

struct TPlaceholderField {
  int32_t width = 0;
  int32_t height = 0;
  std::string text;
};

// The fields after "TextWithSize:": width ":" height ":" text (the text may hold ":").
// None when the sizes do not parse or are below 1. Sizes beyond the placeholder bound shrink
// together, keeping the field's proportions.
std::optional<TPlaceholderField> ParsePlaceholderField(std::string_view fields);

// The field: outer colour, the inner rectangle inset by round(0.02 x height) in the inner
// colour, and the text in white, centred, scaled by min(0.9 w / text width, 0.2 h / text
// height). "A8R8G8B8", opaque.
TRef<TDirectBitmap> RenderPlaceholderField(const TPlaceholderField& field);

}  // namespace vyr

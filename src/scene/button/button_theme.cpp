#include "scene/button/button_theme.h"

#include <algorithm>
#include <vector>

#include "imaging/bitmap/colour.h"
#include "project/ini/ini.h"

namespace vyr {

std::string_view PieceKey(int kind) {
  static constexpr std::string_view kKeys[kPieceKindCount] = {
      "LeftTop", "Top",        "RightTop", "Right", "RightBottom",
      "Bottom",  "LeftBottom", "Left",     "Center"};
  return kKeys[kind];
}

std::string_view StateSection(int state) {
  static constexpr std::string_view kSections[kButtonStateCount] = {"NormalState", "HoverState",
                                                                    "ClickState"};
  return kSections[state];
}

TButtonPiece ParsePieceEntry(std::string_view text) {
  std::vector<std::string_view> items;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  items.resize(5);
  // Far beyond any picture, yet small enough that edge arithmetic cannot overflow.
  static constexpr int32_t kLimit = 1 << 20;
  const auto number = [](std::string_view item) {
    int32_t value = 0;
    return ParseInt32(item, value) ? std::clamp(value, -kLimit, kLimit) : 0;
  };
  return {std::string(items[0]),
          {number(items[1]), number(items[2]), number(items[3]), number(items[4])}};
}

TButtonTheme ReadButtonTheme(const TIniFile& file) {
  TButtonTheme theme;
  for (int state = 0; state < kButtonStateCount; ++state) {
    const TIniSection* section = FindSection(&file, StateSection(state));
    for (int kind = 0; kind < kPieceKindCount; ++kind)
      theme.pieces[state][kind] = ParsePieceEntry(ReadText(FindKey(section, PieceKey(kind))));
  }
  const TIniSection* text = FindSection(&file, "TextParams");
  theme.captionColor = ParseColor(ReadText(FindKey(text, "Color"), ""), 0xFF000000);
  theme.btnOffset = ReadFloat(FindKey(text, "BtnOffset"), 0);
  theme.btnMinWidth = ReadFloat(FindKey(text, "BtnMinWidth"), 0);
  static constexpr std::string_view kFilters[] = {"Default", "Nearest", "Bilinear"};
  theme.filtering =
      static_cast<TButtonFiltering>(ReadEnum(FindKey(text, "Filtering"), kFilters, 0, true));
  theme.referenceWidth = theme.Piece(kButtonNormal, kPieceRight).rect.right;
  theme.referenceHeight = theme.Piece(kButtonNormal, kPieceBottom).rect.bottom;
  return theme;
}

}  // namespace vyr

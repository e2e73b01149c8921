#pragma once
// A button theme's "btn.ini": the nine piece entries of each state, the caption's colour and
// size defaults and the texture filter of the button picture.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "scene/button/button_name.h"
#include "scene/geometry.h"

namespace vyr {

class TIniFile;

// The keys of a state section, in this order.
enum TButtonPieceKind : int {
  kPieceLeftTop = 0,
  kPieceTop,
  kPieceRightTop,
  kPieceRight,
  kPieceRightBottom,
  kPieceBottom,
  kPieceLeftBottom,
  kPieceLeft,
  kPieceCenter,
  kPieceKindCount
};
std::string_view PieceKey(int kind);
std::string_view StateSection(int state);

// A picture of the whole reference button, and the rectangle of it that the piece is.
struct TButtonPiece {
  std::string fileName;
  TIntRect rect;
};
// "file,left,top,right,bottom": a missing or non-numeric number is 0.
TButtonPiece ParsePieceEntry(std::string_view text);

enum class TButtonFiltering : uint8_t { Default = 0, Nearest = 1, Bilinear = 2 };

struct TButtonTheme {
  std::array<std::array<TButtonPiece, kPieceKindCount>, kButtonStateCount> pieces;
  uint32_t captionColor = 0xFF000000;
  double btnOffset = 0;
  double btnMinWidth = 0;
  TButtonFiltering filtering = TButtonFiltering::Default;
  int referenceWidth = 0;   // right edge of the normal state's Right piece
  int referenceHeight = 0;  // bottom edge of the normal state's Bottom piece

  const TButtonPiece& Piece(int state, int kind) const { return pieces[state][kind]; }
};

TButtonTheme ReadButtonTheme(const TIniFile& file);

}  // namespace vyr

#pragma once
// Text descriptions: "Text: " and nine ":"-separated fields naming the font, scale, offsets,
// style, alignment, factor, line spacing and the lines, which are written case-marked.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vyr {

enum TTextStyle : uint32_t {
  kStyleBold = 1,
  kStyleItalic = 2,
  kStyleUnderline = 4,
  kStyleStrikeOut = 8,
};

enum TTextAlignment : int { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

// Output pixels per font unit of the default parameters: the em of the system fonts'
// vector text is 2048 units, so the default em is 64 pixels.
inline constexpr double kDefaultTextScale = 1.0 / 32;

// The default parameters; a field that does not parse takes its value from here.
struct TTextParams {
  std::string fontName = "Arial";
  double scale = kDefaultTextScale;
  double offsetX = 0;
  double offsetY = 0;
  uint32_t style = 0;
  int alignment = kAlignLeft;
  double factor = 1;
  int lineSpacing = 0;
  std::string text = "Text";
};

struct TTextDescription {
  TTextParams params;
  std::vector<std::string> lines;  // unmarked
  // The style and lines fields as written (marked), for the vector-text key.
  std::string styleField;
  std::string linesField;
};

inline constexpr std::string_view kTextPrefix = "Text: ";

// Characters of one text (each line break counts as one): far more than a slide shows, and a
// text laid out and drawn in a moment.
inline constexpr size_t kMaxTextCharacters = 16384;
// Cuts the lines to the character budget (whole characters; lines past it are dropped) and
// says so in one log line; false when they fitted already.
bool CutToTextBudget(std::vector<std::string>& lines);

TTextDescription ParseTextDescription(std::string_view text, const TTextParams& defaults = {});
// Reals with 6 significant digits, lines marked, joined with CR LF inside double quotes.
std::string FormatTextDescription(const TTextParams& params, const std::vector<std::string>& lines);

// "Bold,Italic,..." for the style bits, and back (unknown words are ignored).
std::string StyleWords(uint32_t style);
uint32_t ParseStyleWords(std::string_view words);

// Case marking: "<" -> "<<", ">" -> ">>", and each run of characters that change when
// lower-cased enclosed in "<" ... ">". Unmarking reverses it.
std::string MarkCase(std::string_view line);
std::string UnmarkCase(std::string_view line);

// The package entry of the description's vector text: "VectTxt2: " + font name + ":" +
// style field + ":" + lines field.
std::string VectorTextKey(const TTextDescription& description);

}  // namespace vyr

#pragma once
// Vector text from the installed fonts (the role of the Windows vectoriser): family names
// resolve through fontconfig ("Arial" to Liberation Sans), lines are shaped by HarfBuzz and
// glyph outlines come unhinted from FreeType with y pointing down. FreeType never rasterises.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/text/vector_text.h"

namespace vyr {

// The em of the vector text made from system fonts, in font units.
inline constexpr int32_t kSystemEmUnits = 2048;

// The one process-wide lock around FreeType, fontconfig and the shaper.
std::mutex& FontSystemLock();

struct TFontMetrics {
  int32_t ascent = 0, descent = 0;  // font units
  float underlinePosition = 0, underlineThickness = 0;
  float strikeOutPosition = 0, strikeOutThickness = 0;
};

// One glyph of a laid-out line.
struct TLaidGlyph {
  std::string fontKey;
  uint16_t index = 0;
  int32_t x = 0;  // font units
  float size = kSystemEmUnits;
};

// Moves the path right so that its ink starts at a, then squeezes it so that the ink ends
// at a + b; y stays. Leaves the path when it has no width.
void FitPathToAbc(TPath& path, int32_t a, int32_t b);

class TWinVectorizer {
 public:
  static TWinVectorizer& Instance();

  // Whether the family (with bold and italic from the style bits) resolves to an outline font.
  bool IsVectorFont(const std::string& family, uint32_t style);
  // The family actually used: the one asked for when it is a vector font, else "Arial".
  std::string UsableFamily(const std::string& family, uint32_t style);
  TFontMetrics Metrics(const std::string& family, uint32_t style);
  // Shaped glyphs of one line; the glyph-index lookup with A + B + C advances when shaping
  // fails. Missing glyphs are added to the font's glyph cache in `cache`.
  std::vector<TLaidGlyph> Layout(const std::string& family, uint32_t style, std::string_view line,
                                 TFontCache& cache);
  // The same layout without shaping, as when the shaper fails.
  std::vector<TLaidGlyph> LayoutByGlyphIndices(const std::string& family, uint32_t style,
                                               std::string_view line, TFontCache& cache);
  // The unhinted outline of a glyph index, fitted to its ABC widths; empty on failure.
  TGlyph GlyphOutline(const std::string& family, uint32_t style, uint16_t index);

  // The vector text of the lines in the package entry format, its glyphs stored in `cache`.
  std::vector<uint8_t> BuildVectorText(const std::string& family, uint32_t style,
                                       const std::vector<std::string>& lines, TFontCache& cache);

 private:
  struct TFace;
  TWinVectorizer() = default;
  TFace* FaceFor(const std::string& family, uint32_t style);  // under the lock
  TGlyph LoadGlyph(TFace& face, uint16_t index);              // under the lock
  void StoreGlyphs(TFace& face, const std::vector<TLaidGlyph>& glyphs, TFontCache& cache);
  std::vector<TLaidGlyph> IndexLayout(TFace& face, std::string_view line);

  std::vector<TFace*> faces_;  // open for the process
};

}  // namespace vyr

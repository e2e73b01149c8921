#pragma once
// Lays out and renders vector text: line boxes, line origins, overhangs, alignment,
// underline and strike-out, into an "A8R8G8B8" bitmap.

#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "imaging/text/vector_text.h"

namespace vyr {

// Text pictures never need more pixels than this; larger layouts are scaled down.
inline constexpr int64_t kMaxTextPixels = 16 * 1024 * 1024;
inline constexpr int32_t kMaxTextSide = 16384;

struct TTextRender {
  uint32_t color = 0xFFFFFFFF;       // of the glyphs
  uint32_t background = 0x00FFFFFF;  // transparent white: no background
  double offsetX = 0, offsetY = 0;
  bool underline = false, strikeOut = false;
  int alignment = 0;                 // 0 left, 1 centre, 2 right
  int lineSpacing = 0;               // 100 adds half a line between lines
  double scale = 1;                  // output pixels per font unit
  double factor = 1;                 // multiplies the scale
  std::vector<uint32_t> lineColors;  // per line, instead of color where given
  std::function<bool()> cancel;      // asked after each line and pixel row; true stops
};

struct TTextLayout {
  int32_t width = 1, height = 1;
  double textWidth = 0;  // W: the widest line box
  double scale = 0;      // the scale used (scale x factor)
  struct TLine {
    double x = 0;         // of the line start, picture pixels
    double baseline = 0;  // picture pixels
    double advance = 0;   // font units
    TRect box;            // hit rectangle in picture pixels
  };
  std::vector<TLine> lines;
};

class TTextProducer {
 public:
  static TTextLayout Measure(const TCachedVectorText& text, const TTextRender& params);
  static TRef<TDirectBitmap> Render(const TCachedVectorText& text, const TTextRender& params,
                                    TTextLayout* layout = nullptr);
  // The largest scale <= params.scale whose picture stays within the pixel budget.
  static double BoundedScale(const TCachedVectorText& text, const TTextRender& params);
};

}  // namespace vyr

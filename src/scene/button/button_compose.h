#pragma once
// Composes a button picture of any width from the nine pieces of a state (corners copied,
// edges and centre widened), and shifts its hue, saturation and lightness.

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/bitmap/bitmap_store.h"
#include "scene/button/button_theme.h"

namespace vyr {

// Wider button pictures are not made.
inline constexpr int kMaxButtonWidth = 16384;
inline constexpr int64_t kMaxButtonPixels = 16 * 1024 * 1024;

// The picture of a piece file, or none.
using TButtonPieceSource = std::function<TRef<TImage>(const std::string& fileName)>;
using TButtonGoOn = std::function<bool()>;

struct TButtonComposition {
  TRef<TBitmap> bitmap;  // "A8R8G8B8", width x reference height; none on failure
  std::string badPiece;  // the piece file that could not be opened or had the wrong size
};

// The width actually composed: raised to the reference width when the right pieces would
// start left of the picture, and limited to kMaxButtonWidth.
int ComposedButtonWidth(const TButtonTheme& theme, int state, int width);

TButtonComposition ComposeButton(const TButtonTheme& theme, int state, int width,
                                 const TButtonPieceSource& pieces, const TButtonGoOn& goOn);

// Hue in degrees, saturation and lightness in percent; alpha is kept.
void ShiftButtonColours(TBitmap& bitmap, int hue, int saturation, int lightness,
                        const TButtonGoOn& goOn);

}  // namespace vyr

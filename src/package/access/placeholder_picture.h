#pragma once
// The picture shown where a picture or video cannot be opened or decoded: two lines of
// text drawn by the text producer, which installs itself here.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

enum class TPlaceholderKind { Image, Video };
enum class TPlaceholderReason {
  NotFound,   // no file could be opened
  LoadError,  // a file was opened but did not decode
};

struct TPlaceholderText {
  std::string firstLine;   // " Image not found " or " Image load error: " (Video likewise)
  std::string secondLine;  // " " + the file name without folders + " "
  uint32_t firstColor = 0xFFE6E6E6;   // (230, 230, 230, 255), 0xAARRGGBB
  uint32_t secondColor = 0xFF646464;  // (100, 100, 100, 255)
  double factor = 0.5;
};

TPlaceholderText PlaceholderText(TPlaceholderKind kind, TPlaceholderReason reason,
                                 std::string_view path);

using TPlaceholderProducer = std::function<TRef<TImage>(const TPlaceholderText& text)>;
// The default producer draws the two lines with the text producer; an empty one makes
// placeholders none.
void SetPlaceholderProducer(TPlaceholderProducer producer);
TPlaceholderProducer DefaultPlaceholderProducer();
TRef<TImage> MakePlaceholderPicture(TPlaceholderKind kind, TPlaceholderReason reason,
                                    std::string_view path);

}  // namespace vyr

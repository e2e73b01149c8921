#include "imaging/text/placeholder_text.h"

#include "imaging/text/text_picture.h"

namespace vyr {

TRef<TImage> MakePlaceholderTextPicture(const std::string& firstLine, const std::string& secondLine,
                                        uint32_t firstColor, uint32_t secondColor, double factor) {
  TTextParams params;  // the default font and scale
  params.alignment = kAlignCenter;
  params.factor = factor;
  const std::string description = FormatTextDescription(params, {firstLine, secondLine});
  return MakeRef<TImage>(TTextBitmapStore::Create(description, nullptr, {firstColor, secondColor}));
}

}  // namespace vyr

#pragma once
// The picture that stands for a missing or undecodable picture or video: two centred lines
// in the default font, each in its own colour, at the producer's factor.

#include <cstdint>
#include <string>

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

// E.g. (" Image not found ", " photo.jpg ", 0xFFE6E6E6, 0xFF646464, 0.5).
TRef<TImage> MakePlaceholderTextPicture(const std::string& firstLine, const std::string& secondLine,
                                        uint32_t firstColor, uint32_t secondColor, double factor);

}  // namespace vyr

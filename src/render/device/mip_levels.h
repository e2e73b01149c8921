#pragma once
// Reduced levels of a picture texture: each level is the 2 x 2 box average of the level
// above, per channel, alpha included (a side of 1 averages with itself).

#include <cstdint>
#include <vector>

#include "render/device/device_types.h"

namespace vyr {

struct TPixelLevel {
  std::vector<uint8_t> bits;
  int width = 0, height = 0, pitch = 0;
};

TPixelLevel HalveLevel(const TPixelLevel& source, TSurfaceFormat format);

}  // namespace vyr

#include "scene/host/managed_colour.h"

#include "imaging/colour/color_cube.h"
#include "scene/host/slide_host.h"

namespace vyr {

uint32_t ManagedColour(const TVyrSlideHost* host, uint32_t argb) {
  if (!host || !host->ColorManagement()) return argb;
  return (argb & 0xFF000000u) | (ConvertColor(nullptr, argb & 0x00FFFFFFu) & 0x00FFFFFFu);
}

}  // namespace vyr

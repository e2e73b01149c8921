#pragma once
// Colours of the project drawn on the display: when the show manages colours they are
// converted to the display profile, once, when the object reads them.

#include <cstdint>

namespace vyr {

class TVyrSlideHost;

// argb (0xAARRGGBB) in the display profile when the host's show manages colours, else as
// given; alpha is kept.
uint32_t ManagedColour(const TVyrSlideHost* host, uint32_t argb);

}  // namespace vyr

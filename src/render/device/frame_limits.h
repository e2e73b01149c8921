#pragma once
// How large a frame the player draws: 1 to kMaxFrameSide pixels a side, and no larger than
// the OpenGL device can draw into.

#include <string>

namespace vyr {

inline constexpr int kMaxFrameSide = 16384;

// Empty when each side is 1 to kMaxFrameSide pixels; else why not, for the user.
std::string FrameSizeProblem(int width, int height);

// FrameSizeProblem, then the device's own limits (unknown without a device: no problem).
std::string DrawableFrameSizeProblem(int width, int height);

}  // namespace vyr

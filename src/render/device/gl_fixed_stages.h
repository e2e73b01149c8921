#pragma once
// The texture-stage combiner of DrawVertexList as one fragment shader per state. The state
// (stage count, colour and alpha modulation, which textures carry alpha) is written into
// the shader text rather than read from uniforms: a software rasteriser runs every branch
// of a shader for every pixel, so a general shader testing eight stages costs several
// times what one drawn quad needs.

#include <cstdint>
#include <string>

#include "render/device/gl_program.h"

namespace vyr {

struct TFixedStages {
  int stages = 0;  // textures bound, 0..kMaxStages
  bool modulateColor = false;
  bool modulateAlpha = false;
  uint32_t hasAlpha = 0;  // bit i: the texture of stage i has an alpha channel

  // Equal for states that draw alike; never 0, which stands for a shader of the user's.
  uint32_t Key() const;
};

std::string FixedFragmentShaderSource(const TFixedStages& state);

}  // namespace vyr

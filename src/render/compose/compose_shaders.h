#pragma once
// Pixel shaders of the frame drawer, GLSL 330. They link with the device layer's fixed
// vertex stage (see gl_program.h): vDiffuse is the vertex colour v, vTex0/vTex1 the
// coordinates of stages 0 and 1, samplers s0..s4 the stages, `vec4 c[]` the pixel constants.

#include <string>
#include <vector>

namespace vyr {

// The named program's text; empty for an unknown name.
const std::string& ComposeShaderSource(const std::string& name);
// Every name the drawer loads.
const std::vector<std::string>& ComposeShaderNames();

}  // namespace vyr

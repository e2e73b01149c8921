#pragma once
// GLSL 330 programs of the OpenGL device: the fixed-function replacement of the vertex
// transform (the texture-stage combiner is in gl_fixed_stages.h) and linking of user
// shaders with it.
// Vertex inputs: location 0 position, 1 diffuse, 2 specular, 3 normal, 4..11 coordinate
// pairs 0..7. Varyings: vDiffuse, vSpecular, vTex0..vTex7. Uniforms: uWorld, uView,
// uProjection, samplers s0..s7 on texture units 0..7, pixel constants `vec4 c[]`, vertex
// constants `vec4 vc[]`.

#include <epoxy/gl.h>

#include <functional>
#include <string>

namespace vyr {

constexpr int kMaxStages = 8;
constexpr int kMaxConstantRegisters = 32;

struct TGlProgram {
  GLuint id = 0;
  GLint world = -1, view = -1, projection = -1;
  GLint sampler[kMaxStages] = {-1, -1, -1, -1, -1, -1, -1, -1};
  GLint pixelConstants = -1, vertexConstants = -1;
  int pixelConstantCount = 0, vertexConstantCount = 0;
};

const std::string& FixedVertexShaderSource();

// Compiles one shader; 0 on failure with the compiler's log in `log`.
GLuint CompileGlShader(GLenum type, const std::string& source, std::string& log);
// Links and looks up the uniform locations; id 0 on failure.
TGlProgram LinkGlProgram(GLuint vertexShader, GLuint fragmentShader, std::string& log);

// Optional process-wide hook turning a shader's text into GLSL before compiling.
using TShaderCompileHook = std::function<std::string(const std::string& text, bool vertex)>;
void SetShaderCompileHook(TShaderCompileHook hook);
std::string ApplyShaderCompileHook(const std::string& text, bool vertex);

}  // namespace vyr

#include "render/device/gl_program.h"

#include <mutex>
#include <vector>

namespace vyr {
namespace {

std::string BuildVertexSource() {
  std::string s =
      "#version 330 core\n"
      "layout(location = 0) in vec3 aPosition;\n"
      "layout(location = 1) in vec4 aDiffuse;\n"
      "layout(location = 2) in vec4 aSpecular;\n"
      "layout(location = 3) in vec3 aNormal;\n";
  for (int i = 0; i < kMaxStages; ++i)
    s +=
        "layout(location = " + std::to_string(4 + i) + ") in vec2 aTex" + std::to_string(i) + ";\n";
  s += "uniform mat4 uWorld;\n"
       "uniform mat4 uView;\n"
       "uniform mat4 uProjection;\n"
       "out vec4 vDiffuse;\n"
       "out vec4 vSpecular;\n";
  for (int i = 0; i < kMaxStages; ++i) s += "out vec2 vTex" + std::to_string(i) + ";\n";
  s += "void main() {\n"
       "  gl_Position = uProjection * uView * uWorld * vec4(aPosition, 1.0);\n"
       "  vDiffuse = aDiffuse;\n"
       "  vSpecular = aSpecular;\n";
  for (int i = 0; i < kMaxStages; ++i)
    s += "  vTex" + std::to_string(i) + " = aTex" + std::to_string(i) + ";\n";
  s += "}\n";
  return s;
}

std::mutex hookLock;
TShaderCompileHook compileHook;

void ArrayUniform(GLuint program, const char* name, GLint& location, int& size) {
  location = glGetUniformLocation(program, name);
  size = 0;
  if (location < 0) return;
  GLint count = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  char buffer[64];
  const std::string element = std::string(name) + "[0]";
  for (GLint i = 0; i < count; ++i) {
    GLint arraySize = 0;
    GLenum type = 0;
    glGetActiveUniform(program, static_cast<GLuint>(i), sizeof buffer, nullptr, &arraySize, &type,
                       buffer);
    if (element == buffer || std::string(name) == buffer) {
      size = arraySize;
      return;
    }
  }
}

}  // namespace

const std::string& FixedVertexShaderSource() {
  static const std::string source = BuildVertexSource();
  return source;
}

GLuint CompileGlShader(GLenum type, const std::string& source, std::string& log) {
  GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  glGetShaderInfoLog(shader, length, nullptr, buffer.data());
  log = buffer.data();
  glDeleteShader(shader);
  return 0;
}

TGlProgram LinkGlProgram(GLuint vertexShader, GLuint fragmentShader, std::string& log) {
  TGlProgram p;
  GLuint program = glCreateProgram();
  glAttachShader(program, vertexShader);
  glAttachShader(program, fragmentShader);
  glLinkProgram(program);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    glGetProgramInfoLog(program, length, nullptr, buffer.data());
    log = buffer.data();
    glDeleteProgram(program);
    return p;
  }
  p.id = program;
  p.world = glGetUniformLocation(program, "uWorld");
  p.view = glGetUniformLocation(program, "uView");
  p.projection = glGetUniformLocation(program, "uProjection");
  for (int i = 0; i < kMaxStages; ++i)
    p.sampler[i] = glGetUniformLocation(program, ("s" + std::to_string(i)).c_str());
  ArrayUniform(program, "c", p.pixelConstants, p.pixelConstantCount);
  ArrayUniform(program, "vc", p.vertexConstants, p.vertexConstantCount);
  // Samplers never change their unit: set them once.
  glUseProgram(program);
  for (int i = 0; i < kMaxStages; ++i)
    if (p.sampler[i] >= 0) glUniform1i(p.sampler[i], i);
  return p;
}

void SetShaderCompileHook(TShaderCompileHook hook) {
  std::lock_guard guard(hookLock);
  compileHook = std::move(hook);
}

std::string ApplyShaderCompileHook(const std::string& text, bool vertex) {
  std::lock_guard guard(hookLock);
  return compileHook ? compileHook(text, vertex) : text;
}

}  // namespace vyr

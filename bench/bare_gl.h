#pragma once
// A bare OpenGL program for the drawer's benchmarks to stand beside: its own surfaceless EGL
// context and plain GL calls, none of the player's device layer. It draws pictures as
// textured quads into framebuffer objects and blends buffers back through a mask, the same
// full-screen passes a transition needs, so the drawer's figures can be read against what
// the rasteriser itself costs.

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

namespace bare {

struct TTarget {
  GLuint texture = 0, framebuffer = 0;
};

class TBareGl {
 public:
  TBareGl(int width, int height) : width_(width), height_(height) {}
  ~TBareGl() { Close(); }
  TBareGl(const TBareGl&) = delete;
  TBareGl& operator=(const TBareGl&) = delete;

  // A surfaceless OpenGL 3.3 core context made current on this thread; false without one.
  bool Open() {
    display_ =
        eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor)) return false;
    if (!eglBindAPI(EGL_OPENGL_API)) return false;
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_NONE};
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context_ == EGL_NO_CONTEXT || !MakeCurrent()) return false;
    picture_ = Program(kPictureFragment);
    blend_ = Program(kBlendFragment);
    colour_ = Program(kColourFragment);
    const float corners[] = {0, 0, 1, 0, 0, 1, 1, 1};
    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(0);
    glEnable(GL_BLEND);
    frame_ = Target();
    pixels_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
    return picture_ && blend_ && colour_ && frame_.framebuffer && glGetError() == GL_NO_ERROR;
  }

  bool MakeCurrent() {
    return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
  }

  // A picture texture, linear filtering, no mipmaps: rows top first, 3 (B, G, R) or 4
  // (B, G, R, A) bytes a pixel, packed.
  GLuint Picture(const uint8_t* pixels, int width, int height, int bytesPerPixel) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0,
                 bytesPerPixel == 3 ? GL_BGR : GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    Sampling(GL_LINEAR);
    owned_.push_back(texture);
    return texture;
  }

  // A colour buffer of the frame's size.
  TTarget Target() {
    TTarget t;
    glGenTextures(1, &t.texture);
    glBindTexture(GL_TEXTURE_2D, t.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 nullptr);
    Sampling(GL_LINEAR);
    glGenFramebuffers(1, &t.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.texture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) t.framebuffer = 0;
    targets_.push_back(t);
    return t;
  }

  const TTarget& Frame() const { return frame_; }

  // Binds a target for drawing.
  void Bind(const TTarget& target) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glViewport(0, 0, width_, height_);
  }

  // Binds a target and clears it to a colour (0: transparent).
  void Clear(const TTarget& target, float r, float g, float b, float a) {
    Bind(target);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  // A picture over the bound target's pixels [x0, x1) x [y0, y1), straight alpha.
  void DrawPicture(GLuint texture, float x0, float y0, float x1, float y1) {
    glUseProgram(picture_);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    Quad(picture_, texture, x0, y0, x1, y1);
  }

  // A buffer (premultiplied) over the whole bound target shifted by (dx, dy), at an opacity
  // and through a soft circle of the given radius around the frame's centre (radius < 0:
  // no mask).
  void Blend(const TTarget& buffer, float opacity, float radius, float dx = 0, float dy = 0) {
    glUseProgram(blend_);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glUniform1f(glGetUniformLocation(blend_, "opacity"), opacity);
    glUniform1f(glGetUniformLocation(blend_, "radius"), radius);
    glUniform2f(glGetUniformLocation(blend_, "centre"), static_cast<float>(width_) / 2,
                static_cast<float>(height_) / 2);
    Quad(blend_, buffer.texture, dx, dy, static_cast<float>(width_) + dx,
         static_cast<float>(height_) + dy);
  }

  // An opaque colour over the whole bound target (drawn, not cleared).
  void Fill(float r, float g, float b) {
    glUseProgram(colour_);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUniform4f(glGetUniformLocation(colour_, "colour"), r, g, b, 1);
    Quad(colour_, 0, 0, 0, static_cast<float>(width_), static_cast<float>(height_));
  }

  // The frame's pixels into memory (B, G, R, A), which waits for the drawing.
  const std::vector<uint8_t>& ReadBack() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frame_.framebuffer);
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels_.data());
    return pixels_;
  }

  void Close() {
    if (context_ == EGL_NO_CONTEXT) return;
    MakeCurrent();
    for (const TTarget& t : targets_) {
      glDeleteFramebuffers(1, &t.framebuffer);
      glDeleteTextures(1, &t.texture);
    }
    if (!owned_.empty()) glDeleteTextures(static_cast<GLsizei>(owned_.size()), owned_.data());
    glDeleteBuffers(1, &vbo_);
    glDeleteVertexArrays(1, &vao_);
    for (GLuint p : {picture_, blend_, colour_}) glDeleteProgram(p);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    context_ = EGL_NO_CONTEXT;
  }

 private:
  static constexpr const char* kVertex =
      "#version 330 core\nlayout(location = 0) in vec2 corner;\nuniform vec4 rect;\n"
      "uniform vec2 size;\nout vec2 uv;\n"
      "void main() {\n  uv = corner;\n  vec2 p = mix(rect.xy, rect.zw, corner) / size;\n"
      "  gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);\n}\n";
  static constexpr const char* kPictureFragment =
      "#version 330 core\nin vec2 uv;\nuniform sampler2D picture;\nout vec4 colour;\n"
      "void main() { colour = texture(picture, uv); }\n";
  static constexpr const char* kBlendFragment =
      "#version 330 core\nin vec2 uv;\nuniform sampler2D picture;\nuniform float opacity;\n"
      "uniform float radius;\nuniform vec2 centre;\nout vec4 colour;\n"
      "void main() {\n  float mask = radius < 0.0 ? 1.0 :"
      " clamp((radius - distance(gl_FragCoord.xy, centre)) / 8.0, 0.0, 1.0);\n"
      "  colour = texture(picture, uv) * (opacity * mask);\n}\n";
  static constexpr const char* kColourFragment =
      "#version 330 core\nuniform vec4 colour;\nout vec4 result;\n"
      "void main() { result = colour; }\n";

  static void Sampling(GLint filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }

  static GLuint Shader(GLenum type, const char* text) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    return ok ? shader : 0;
  }

  static GLuint Program(const char* fragment) {
    const GLuint vs = Shader(GL_VERTEX_SHADER, kVertex), fs = Shader(GL_FRAGMENT_SHADER, fragment);
    if (!vs || !fs) return 0;
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    return ok ? program : 0;
  }

  void Quad(GLuint program, GLuint texture, float x0, float y0, float x1, float y1) {
    glUniform4f(glGetUniformLocation(program, "rect"), x0, y0, x1, y1);
    glUniform2f(glGetUniformLocation(program, "size"), static_cast<float>(width_),
                static_cast<float>(height_));
    glBindTexture(GL_TEXTURE_2D, texture);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  }

  int width_, height_;
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint picture_ = 0, blend_ = 0, colour_ = 0, vao_ = 0, vbo_ = 0;
  TTarget frame_;
  std::vector<TTarget> targets_;
  std::vector<GLuint> owned_;
  std::vector<uint8_t> pixels_;
};

}  // namespace bare

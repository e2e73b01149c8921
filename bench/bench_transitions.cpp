// Transitions at 1920 x 1080, headless, each frame read back: a cross-fade and a circle
// wipe of two 24-megapixel textures through the transition drawer, against a bare OpenGL
// program that draws the same two textures as two full-screen quads with the same
// (linear) filtering and reads the frame back (its own EGL context and plain GL, see
// bare_gl.h). The drawer's runs report their frame rate as a ratio to the bare one.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <chrono>
#include <string>
#include <vector>

#include "bare_gl.h"
#include "render/device/gl_renderer.h"
#include "render/device/headless_draw_device.h"
#include "render/device/screen.h"
#include "render/transitions/draw_filter_factory.h"
#include "render/transitions/transition_drawing.h"

namespace vyr {
namespace {

constexpr int kFrameW = 1920, kFrameH = 1080;
constexpr int kPictureW = 6000, kPictureH = 4000;

double bareFps = 0;

using TClock = std::chrono::steady_clock;
double FramesPerSecond(int64_t frames, TClock::time_point start) {
  const std::chrono::duration<double> took = TClock::now() - start;
  return took.count() > 0 ? static_cast<double>(frames) / took.count() : 0;
}

std::vector<uint8_t> Picture(uint32_t salt) {
  std::vector<uint8_t> pixels(static_cast<size_t>(kPictureW) * kPictureH * 4);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = (i & 3) == 3 ? 255 : static_cast<uint8_t>((i + salt) * 2654435761u >> 24);
  return pixels;
}

struct THeadless {
  TRef<THeadlessDrawDevice> device;
  TRef<T3DScreen> screen;
  THeadless() {
    device = MakeRef<THeadlessDrawDevice>(kFrameW, kFrameH);
    screen = MakeRef<T3DScreen>();
    screen->Attach(device.Get());
  }
  bool Ok() const { return screen->Renderer() != nullptr; }
};

GLuint Compile(GLenum type, const char* text) {
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  return shader;
}

// The bare program: two textured full-screen quads, the second at half opacity, blended
// into a framebuffer object that is read back each frame.
void BM_BareTwoQuads(benchmark::State& state) {
  bare::TBareGl context(kFrameW, kFrameH);
  if (!context.Open()) return state.SkipWithError("no headless OpenGL");
  const char* vs =
      "#version 330 core\nlayout(location = 0) in vec2 p;\nout vec2 t;\n"
      "void main() { t = p; gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0); }\n";
  const char* fs =
      "#version 330 core\nin vec2 t;\nuniform sampler2D s;\nuniform float a;\nout vec4 c;\n"
      "void main() { c = vec4(texture(s, t).rgb, a); }\n";
  GLuint program = glCreateProgram();
  glAttachShader(program, Compile(GL_VERTEX_SHADER, vs));
  glAttachShader(program, Compile(GL_FRAGMENT_SHADER, fs));
  glLinkProgram(program);
  const GLint alpha = glGetUniformLocation(program, "a");
  const float quad[] = {0, 0, 1, 0, 0, 1, 1, 1};
  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(1, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glEnableVertexAttribArray(0);
  GLuint textures[2];
  glGenTextures(2, textures);
  for (int i = 0; i < 2; ++i) {
    const std::vector<uint8_t> pixels = Picture(static_cast<uint32_t>(i));
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kPictureW, kPictureH, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  GLuint target = 0, fbo = 0;
  glGenTextures(1, &target);
  glBindTexture(GL_TEXTURE_2D, target);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kFrameW, kFrameH, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
  glViewport(0, 0, kFrameW, kFrameH);
  glUseProgram(program);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  std::vector<uint8_t> frame(static_cast<size_t>(kFrameW) * kFrameH * 4);
  glFinish();
  const TClock::time_point start = TClock::now();
  for (auto _ : state) {
    for (int i = 0; i < 2; ++i) {
      glBindTexture(GL_TEXTURE_2D, textures[i]);
      glUniform1f(alpha, i == 0 ? 1.0f : 0.5f);
      glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    glReadPixels(0, 0, kFrameW, kFrameH, GL_BGRA, GL_UNSIGNED_BYTE, frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
  bareFps = FramesPerSecond(state.iterations(), start);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &fbo);
  glDeleteTextures(1, &target);
  glDeleteTextures(2, textures);
  glDeleteBuffers(1, &vbo);
  glDeleteVertexArrays(1, &vao);
  glDeleteProgram(program);
  state.counters["fps"] = bareFps;
}

// The same two pictures through the transition drawer at half time.
void TransitionRun(benchmark::State& state, TDrawFilterKind kind) {
  THeadless headless;
  if (!headless.Ok()) return state.SkipWithError("no headless OpenGL");
  headless.screen->BeginScene();
  T3DRenderer& renderer = *headless.screen->Renderer();
  TRef<T3DTexture> textures[2];
  for (int i = 0; i < 2; ++i) {
    textures[i] = renderer.CreateTexture(TTextureKind::Picture, kPictureW, kPictureH, false);
    if (!textures[i]) return state.SkipWithError("texture not made");
    const std::vector<uint8_t> pixels = Picture(static_cast<uint32_t>(i));
    textures[i]->WriteRect(0, TIntRect{0, 0, kPictureW, kPictureH}, pixels.data(), kPictureW * 4);
    textures[i]->SetFilter(TFilter::Linear);
  }
  headless.screen->EndScene(false);
  const TIntRect rect{0, 0, kFrameW, kFrameH};
  const TMultiTile leaving = TMultiTile::Single(textures[0].Get(), rect);
  const TMultiTile arriving = TMultiTile::Single(textures[1].Get(), rect);
  TDrawFilterSpec spec;
  spec.kind = kind;
  TRef<TDrawFilter> filter = MakeDrawFilter(spec, rect, 0.05, 1000);
  TEffController controller(*headless.screen);
  TLockedPixels frame;
  glFinish();
  const TClock::time_point start = TClock::now();
  for (auto _ : state) {
    headless.screen->BeginScene();
    DrawTransition(controller, filter.Get(), leaving, arriving, 500);
    headless.screen->CurrentTarget()->ReadInto(frame);
    headless.screen->EndScene(false);
  }
  const double fps = FramesPerSecond(state.iterations(), start);
  state.counters["fps"] = fps;
  if (bareFps > 0) state.counters["ratio_to_bare"] = fps / bareFps;
}

void BM_TransitionCrossFade(benchmark::State& state) {
  TransitionRun(state, TDrawFilterKind::CrossFade);
}
void BM_TransitionCircleWipe(benchmark::State& state) {
  TransitionRun(state, TDrawFilterKind::Circle);
}

BENCHMARK(BM_BareTwoQuads)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_TransitionCrossFade)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_TransitionCircleWipe)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();

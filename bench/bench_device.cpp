// The 3D device's own limits on this machine, headless: uploading a 24-megapixel picture,
// and a bare full-screen textured quad at 1920 x 1080 read back every frame (the figure
// later frame composition is compared with).

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "render/device/custom_texture.h"
#include "render/device/gl_renderer.h"
#include "render/device/headless_draw_device.h"
#include "render/device/screen.h"

namespace vyr {
namespace {

struct THeadless {
  TRef<THeadlessDrawDevice> device;
  TRef<T3DScreen> screen;
  THeadless(int width, int height) {
    device = MakeRef<THeadlessDrawDevice>(width, height);
    screen = MakeRef<T3DScreen>();
    screen->Attach(device.Get());
  }
  bool Ok() const { return screen->Renderer() != nullptr; }
};

std::vector<uint8_t> Picture(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
  return pixels;
}

// A 6000 x 4000 picture reduced by 2^level, written into a texture of its size; glFinish
// makes the driver's copy part of the time.
void BM_Upload24MegapixelPicture(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  const int width = 6000 >> level, height = 4000 >> level;
  THeadless headless(64, 64);
  if (!headless.Ok()) return state.SkipWithError("no headless OpenGL");
  headless.screen->BeginScene();
  T3DRenderer& renderer = *headless.screen->Renderer();
  TRef<T3DTexture> texture = renderer.CreateTexture(TTextureKind::Picture, width, height, false);
  if (!texture) return state.SkipWithError("texture not made");
  const std::vector<uint8_t> pixels = Picture(width, height);
  for (auto _ : state) {
    texture->WriteRect(0, TIntRect{0, 0, width, height}, pixels.data(), width * 4);
    glFinish();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * width * height * 4);
  headless.screen->EndScene(false);
}
BENCHMARK(BM_Upload24MegapixelPicture)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same picture as a device-independent texture with its reduced levels: the box
// averages (the loader thread's share) and the upload (the drawing thread's share).
void BM_Upload24MegapixelPictureWithLevels(benchmark::State& state) {
  THeadless headless(64, 64);
  if (!headless.Ok()) return state.SkipWithError("no headless OpenGL");
  headless.screen->BeginScene();
  const std::vector<uint8_t> pixels = Picture(6000, 4000);
  for (auto _ : state) {
    TRef<TCustomTexture> texture = MakeRef<TPixelTexture>(
        *headless.screen, TTextureKind::Picture, pixels.data(), 6000 * 4, 6000, 4000, true);
    texture->DeviceTexture();
    glFinish();
  }
  headless.screen->EndScene(false);
}
BENCHMARK(BM_Upload24MegapixelPictureWithLevels)->Unit(benchmark::kMillisecond);

// A 24-megapixel picture cut into 512 x 512 pages (as the drawer stores pictures), prepared
// on a loader thread and uploaded by the drawing thread within the screen's per-frame
// budget (4 ms): the longest stall one frame sees, and the frames the upload spreads over.
void BM_PictureUploadWithinFrameBudget(benchmark::State& state) {
  constexpr int kW = 6000, kH = 4000, kPage = 512;
  THeadless headless(64, 64);
  if (!headless.Ok()) return state.SkipWithError("no headless OpenGL");
  const std::vector<uint8_t> pixels = Picture(kW, kH);
  double longest = 0, frames = 0;
  for (auto _ : state) {
    std::vector<TRef<TCustomTexture>> pages;
    for (int y = 0; y < kH; y += kPage)
      for (int x = 0; x < kW; x += kPage)
        pages.push_back(
            MakeRef<TPixelTexture>(*headless.screen, TTextureKind::Picture,
                                   pixels.data() + (static_cast<size_t>(y) * kW + x) * 4, kW * 4,
                                   std::min(kPage, kW - x), std::min(kPage, kH - y)));
    std::thread loader([&] {
      for (auto& page : pages) page->Preload();
    });
    loader.join();
    int pending = 1;
    while (pending > 0) {
      const auto start = std::chrono::steady_clock::now();
      pending = headless.screen->UploadPending(4);
      glFinish();
      const std::chrono::duration<double, std::milli> took =
          std::chrono::steady_clock::now() - start;
      longest = std::max(longest, took.count());
      ++frames;
    }
  }
  state.counters["longest_frame_ms"] = longest;
  state.counters["frames"] = frames / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PictureUploadWithinFrameBudget)->Unit(benchmark::kMillisecond)->UseRealTime();

// One full-screen textured quad with linear filtering, then the frame read back.
void BM_FullScreenQuadWithReadBack1080p(benchmark::State& state) {
  constexpr int kW = 1920, kH = 1080;
  THeadless headless(kW, kH);
  if (!headless.Ok()) return state.SkipWithError("no headless OpenGL");
  headless.screen->BeginScene();
  auto& renderer = static_cast<T3DRendererGL&>(*headless.screen->Renderer());
  TRef<T3DTexture> texture = renderer.CreateTexture(TTextureKind::Picture, kW, kH, false);
  const std::vector<uint8_t> pixels = Picture(kW, kH);
  texture->WriteRect(0, TIntRect{0, 0, kW, kH}, pixels.data(), kW * 4);
  TRef<T3DVertexList> quad = renderer.CreateVertexList(4, vcDiffuse, 1);
  TVertexRecord v[4];
  for (int i = 0; i < 4; ++i) {
    v[i].x = static_cast<float>((i % 2) * kW);
    v[i].y = static_cast<float>((i / 2) * kH);
    v[i].tex[0][0] = static_cast<float>(i % 2);
    v[i].tex[0][1] = static_cast<float>(i / 2);
  }
  quad->Fill(0, v, 4);
  quad->SetPrimitive(0, 2, TPrimitiveType::TriangleStrip);
  headless.screen->EndScene(false);
  T3DTexture* stages[] = {texture.Get()};
  TLockedPixels frame;
  for (auto _ : state) {
    headless.screen->BeginScene();
    renderer.DrawVertexList(stages, dfTextured, *quad);
    headless.screen->CurrentTarget()->ReadInto(frame);
    headless.screen->EndScene(false);
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullScreenQuadWithReadBack1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();

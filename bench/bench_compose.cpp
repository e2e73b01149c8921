// Frame composition, headless: two 24-megapixel JPEG slides (made with ffmpeg at start) joined
// by a transition of each filter order, the pictures on their texture pages (steady state).
//  - At 1920 x 1080 with every frame read back, the frame drawer against a bare OpenGL
//    program (bare_gl.h) doing the full-screen passes the order needs with the same
//    read-back, frame for frame in turn so that both see the same load on a shared machine;
//    and the cross-fade against ffmpeg's xfade filter on the decoded pictures. The drawer runs
//    with its kept buffers and without (every slide drawn afresh, as the bare program draws).
//    Beside frames per second (wall time), each run reports the process's CPU time per frame,
//    the rasteriser's threads included, and the ratios of both.
//  - At 1280 x 720 without read-back, the cross-fade as the window draws it, each frame
//    ended with glFinish.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bare_gl.h"
#include "bench_files.h"
#include "imaging/bitmap/bitmap_store.h"
#include "imaging/decode/decoder_registry.h"
#include "render/compose/overlay_draw_list.h"
#include "render/compose/root_item.h"
#include "render/compose/t3d_drawer.h"
#include "render/device/gl_store.h"
#include "render/device/headless_draw_device.h"

namespace vyr {
namespace {

constexpr int kPictureW = 6000, kPictureH = 4000;
constexpr double kXfadeFrames = 50;

// The transitions measured, one per filter order (argument of the benchmarks).
enum TCase { kCrossFade, kCircle, kCircleReversed, kPush, kOverturn, kTwoSlides, kCaseCount };

// The picture fitted into a frame of the given size: its height, centred.
struct TFit {
  int width, height, level;
  float FitW() const { return kPictureW * static_cast<float>(height) / kPictureH; }
  float Left() const { return (static_cast<float>(width) - FitW()) / 2; }
};
// 3000 px wide (level 1) covers the 1620 px needed x 1.3333; 1500 (level 2) the 1080 px.
constexpr TFit k1080p{1920, 1080, 1}, k720p{1280, 720, 2};

std::filesystem::path WorkFolder() {
  static const std::filesystem::path folder = bench::TempFolder("vyr_bench_compose");
  return folder;
}

// A 24-megapixel JPEG of an ffmpeg test pattern; empty when ffmpeg is missing.
std::string MakeJpeg(const std::string& name, const std::string& source) {
  const std::filesystem::path path = WorkFolder() / name;
  return bench::MakePatternJpeg(path, source) ? path.string() : std::string();
}

struct TPictures {
  TRef<TImage> first, second;
  bool Load() {
    const std::string a = MakeJpeg("a.jpg", "testsrc2"), b = MakeJpeg("b.jpg", "smptehdbars");
    if (a.empty() || b.empty()) return false;
    first = OpenPicture(a);
    second = OpenPicture(b);
    return first && second;
  }
};

class TPictureSlide : public TDrawItem {
 public:
  TPictureSlide(TRef<TImage> image, TFit fit) : image_(std::move(image)), fit_(fit) {}
  void Draw(TDeviceDrawer& drawer) override {
    TImageDrawParams p;
    p.placement.origin = TVec3{fit_.Left(), 0, 0};
    p.pivotRect = TFloatRect{0, 0, fit_.FitW(), static_cast<float>(fit_.height)};
    p.reductionLevel = fit_.level;
    drawer.DrawImage(*image_, p);
  }

 private:
  TRef<TImage> image_;
  TFit fit_;
};

TRef<TVyrEffect> Effect(int kind) {
  TRef<TVyrEffect> effect = MakeRef<TVyrEffect>();
  switch (kind) {
    case kCircle:
      effect->type = TEffectType::Shapes;
      effect->flags = {0, 1, 1, 0, 0};  // grow; circle
      break;
    case kCircleReversed:
      effect->type = TEffectType::Shapes;
      effect->flags = {1, 0, 1, 0, 0};  // shrink; circle
      break;
    case kPush:
      effect->type = TEffectType::Push;
      effect->flags = {1, 0, 0, 0};
      break;
    case kOverturn:
      effect->type = TEffectType::Flip;
      effect->flags = {1, 0, 0, 0};
      break;
    case kTwoSlides:
      effect->type = TEffectType::Swap;
      effect->flags = {1, 0, 0, 0};
      break;
    default:
      break;  // a dissolve: the cross-fade
  }
  return effect;
}

// The transition's time: 10 .. 990 ms of 1000, stepping 10 ms a frame.
double NextTime(double time) { return time >= 990 ? 10 : time + 10; }

// CPU time of the whole process (every thread), seconds.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall and process CPU time of the frames one side drew.
struct TMeter {
  double wall = 0, cpu = 0;
  int64_t frames = 0;
  template <class TDraw>
  void Time(TDraw&& draw) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuSeconds();
    draw();
    cpu += ProcessCpuSeconds() - cpuStart;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++frames;
  }
  double Fps() const { return wall > 0 ? static_cast<double>(frames) / wall : 0; }
  double CpuMs() const { return frames > 0 ? cpu * 1000 / static_cast<double>(frames) : 0; }
};

double xfadeFps = 0;

// The drawer with both slides at one frame size; the pictures go onto their pages at once.
struct TDrawerRig {
  TRef<THeadlessDrawDevice> device;
  TRef<T3DDrawer> drawer;
  TRef<TRootItem> root;
  TRef<TVyrFilter> filter;

  bool Open(const TPictures& pictures, TFit fit, int kind, bool capture) {
    device = MakeRef<THeadlessDrawDevice>(fit.width, fit.height);
    drawer = MakeRef<T3DDrawer>();
    drawer->Attach(device.Get());
    if (!drawer->Screen().Renderer()) return false;
    drawer->SetCaptureMode(capture);
    root = MakeRef<TRootItem>();
    root->SetItems({MakeRef<TPictureSlide>(pictures.first, fit),
                    MakeRef<TPictureSlide>(pictures.second, fit),
                    MakeRef<TOverlayDrawList>(root.Get())});
    root->SetBackground(true, 0);
    filter = MakeRef<TVyrFilter>(Effect(kind), 1000, 0.01f);
    root->SetFilter(filter);
    drawer->DrawItem(*root);
    return true;
  }
};

// One frame of the bare program: the passes the transition's order needs at progress p.
void BareFrame(bare::TBareGl& gl, int kind, float p, GLuint leaving, GLuint arriving,
               const bare::TTarget (&buffers)[2]) {
  const TFit fit = k1080p;
  auto slide = [&](GLuint picture) {
    gl.DrawPicture(picture, fit.Left(), 0, fit.Left() + fit.FitW(), static_cast<float>(fit.height));
  };
  // Each slide into its own buffer, then the frame cleared to black.
  auto bothIntoBuffers = [&] {
    gl.Clear(buffers[0], 0, 0, 0, 0);
    slide(leaving);
    gl.Clear(buffers[1], 0, 0, 0, 0);
    slide(arriving);
    gl.Clear(gl.Frame(), 0, 0, 0, 1);
  };
  const float w = static_cast<float>(fit.width), h = static_cast<float>(fit.height);
  const float extent = std::hypot(w / 2, h / 2) + 8;
  switch (kind) {
    case kCrossFade:
    case kCircle:
    case kCircleReversed: {
      // The masked slide into a buffer, the other one straight, then the masked blend.
      const bool reversed = kind == kCircleReversed;
      gl.Clear(buffers[0], 0, 0, 0, 0);
      slide(reversed ? leaving : arriving);
      gl.Clear(gl.Frame(), 0, 0, 0, 1);
      slide(reversed ? arriving : leaving);
      if (kind == kCrossFade)
        gl.Blend(buffers[0], p, -1);
      else
        gl.Blend(buffers[0], 1, (reversed ? 1 - p : p) * extent);
      break;
    }
    case kPush:
      // A shift by a fraction of a pixel resamples what was drawn: both slides in buffers.
      bothIntoBuffers();
      gl.Blend(buffers[0], 1, -1, w * p);
      gl.Blend(buffers[1], 1, -1, w * p - w);
      break;
    case kOverturn:
      // The turning slide only, over black.
      gl.Clear(buffers[0], 0, 0, 0, 0);
      slide(p < 0.5f ? leaving : arriving);
      gl.Clear(gl.Frame(), 0, 0, 0, 1);
      gl.Fill(0, 0, 0);
      gl.Blend(buffers[0], 1, -1);
      break;
    case kTwoSlides:
      bothIntoBuffers();
      gl.Fill(0, 0, 0);
      gl.Blend(buffers[0], 1, -1);
      gl.Blend(buffers[1], 1, -1);
      break;
    default:
      break;
  }
}

// The bare program's picture texture: the decoded picture at the drawer's reduction level.
GLuint BareTexture(bare::TBareGl& gl, TImage& image, int level) {
  TRef<TBitmap> bitmap = image.Store().GetMipLevel(level);
  if (!bitmap) return 0;
  const int bpp = bitmap->Format()->BytesPerPixel();
  if (bpp != 3 && bpp != 4) return 0;
  std::vector<uint8_t> packed(bitmap->RowBytes() * static_cast<size_t>(bitmap->Height()));
  for (int y = 0; y < bitmap->Height(); ++y)
    std::copy_n(bitmap->Row(y), bitmap->RowBytes(), packed.data() + bitmap->RowBytes() * y);
  return gl.Picture(packed.data(), bitmap->Width(), bitmap->Height(), bpp);
}

// The drawer and the bare program drawing the same transition, a frame each in turn.
void BM_ComposeTransition1080p(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  TPictures pictures;
  if (!pictures.Load()) return state.SkipWithError("pictures not made or not decoded");
  TDrawerRig rig;
  if (!rig.Open(pictures, k1080p, kind, true)) return state.SkipWithError("no headless OpenGL");
  rig.drawer->SetBufferReuse(state.range(1) != 0);
  ReleaseCurrentGlContext();  // the drawer makes its context current again when it draws
  bare::TBareGl gl(k1080p.width, k1080p.height);
  if (!gl.Open()) return state.SkipWithError("no bare OpenGL context");
  const GLuint leaving = BareTexture(gl, *pictures.first, k1080p.level);
  const GLuint arriving = BareTexture(gl, *pictures.second, k1080p.level);
  if (!leaving || !arriving) return state.SkipWithError("pictures not uploaded");
  const bare::TTarget buffers[2] = {gl.Target(), gl.Target()};
  glFinish();
  double time = 0;
  TMeter drawer, program;
  for (auto _ : state) {
    time = NextTime(time);
    drawer.Time([&] {
      rig.filter->SetCurrentTime(time);
      rig.drawer->DrawItem(*rig.root);
      benchmark::DoNotOptimize(rig.drawer->Capture());
    });
    ReleaseCurrentGlContext();
    program.Time([&] {
      gl.MakeCurrent();
      BareFrame(gl, kind, static_cast<float>(time / 1000), leaving, arriving, buffers);
      benchmark::DoNotOptimize(gl.ReadBack().data());
    });
  }
  gl.Close();
  state.counters["fps"] = drawer.Fps();
  state.counters["bare_fps"] = program.Fps();
  state.counters["ratio_to_bare"] = program.Fps() > 0 ? drawer.Fps() / program.Fps() : 0;
  state.counters["cpu_ms"] = drawer.CpuMs();
  state.counters["bare_cpu_ms"] = program.CpuMs();
  state.counters["cpu_ratio_to_bare"] = drawer.CpuMs() > 0 ? program.CpuMs() / drawer.CpuMs() : 0;
  if (kind == kCrossFade && xfadeFps > 0)
    state.counters["ratio_to_xfade"] = drawer.Fps() / xfadeFps;
}

// The cross-fade as a window shows it: no read-back, each frame finished.
void BM_ComposeCrossFade720p(benchmark::State& state) {
  TPictures pictures;
  if (!pictures.Load()) return state.SkipWithError("pictures not made or not decoded");
  TDrawerRig rig;
  if (!rig.Open(pictures, k720p, kCrossFade, false))
    return state.SkipWithError("no headless OpenGL");
  double time = 0;
  TMeter meter;
  for (auto _ : state) {
    time = NextTime(time);
    meter.Time([&] {
      rig.filter->SetCurrentTime(time);
      rig.drawer->DrawItem(*rig.root);
      glFinish();  // the drawer's context is current on this thread
    });
  }
  state.counters["fps"] = meter.Fps();
  state.counters["cpu_ms"] = meter.CpuMs();
}

// ffmpeg's xfade over the two pictures decoded and fitted once (raw frames), 50 frames per
// run written as raw video.
void BM_FfmpegXfade1080p(benchmark::State& state) {
  const std::string a = MakeJpeg("a.jpg", "testsrc2"), b = MakeJpeg("b.jpg", "smptehdbars");
  if (a.empty() || b.empty()) return state.SkipWithError("ffmpeg could not make the pictures");
  const std::string fit = " -vf scale=1620:1080,pad=1920:1080:150:0 -pix_fmt bgra -f rawvideo ";
  const std::string rawA = (WorkFolder() / "a.raw").string(),
                    rawB = (WorkFolder() / "b.raw").string();
  if (!bench::Run("ffmpeg -v error -y -i " + a + fit + rawA) ||
      !bench::Run("ffmpeg -v error -y -i " + b + fit + rawB))
    return state.SkipWithError("ffmpeg could not decode the pictures");
  const std::string input =
      " -f rawvideo -pix_fmt bgra -s 1920x1080 -framerate 50 "
      "-stream_loop -1 -i ";
  const std::string command = "ffmpeg -v error -y" + input + rawA + input + rawB +
                              " -filter_complex xfade=transition=fade:duration=1:offset=0"
                              " -frames:v 50 -f rawvideo /dev/null";
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!bench::Run(command)) return state.SkipWithError("ffmpeg xfade failed");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    seconds += took.count();
  }
  xfadeFps = seconds > 0 ? kXfadeFrames * static_cast<double>(state.iterations()) / seconds : 0;
  state.counters["fps"] = xfadeFps;
}

// Second argument: 1 with the drawer's kept buffers (still pictures are not drawn again into
// a buffer frame after frame), 0 every slide drawn afresh in every frame as the bare program does.
void Orders(benchmark::internal::Benchmark* b) {
  for (int reuse = 0; reuse <= 1; ++reuse)
    for (int kind = 0; kind < kCaseCount; ++kind) b->Args({kind, reuse});
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4);
}

BENCHMARK(BM_FfmpegXfade1080p)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ComposeTransition1080p)->Apply(Orders);
BENCHMARK(BM_ComposeCrossFade720p)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();

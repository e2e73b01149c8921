// Video clips: decoding an H.264 clip frame by frame through the frame source against
// `ffmpeg -benchmark -i clip -f null -` on the same file; the time to deliver frame i after
// a random jump against decoding on from the key frame before it; and the cost per headless
// frame of a 720p clip (decode ahead, upload, YUV conversion on the device) over the same
// frame without it. Clips are made with ffmpeg's own test source at start;
// VYR_BENCH_VIDEO_SECONDS shortens the 60-second clip.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench_files.h"
#include "foundation/stream.h"
#include "render/compose/t3d_drawer.h"
#include "render/device/headless_draw_device.h"
#include "video/ffmpeg_video_source.h"
#include "video/video_cube.h"
#include "video/vyr_video_extractor.h"

namespace vyr {
namespace {

using bench::Run;

int ClipSeconds() {
  const char* value = std::getenv("VYR_BENCH_VIDEO_SECONDS");
  return value ? std::max(1, std::atoi(value)) : 60;
}

// An H.264 clip of the test source at the size, 30 frames a second, a key frame every
// second; empty when ffmpeg cannot make it.
std::string Clip(const std::string& size, int seconds) {
  const auto folder = std::filesystem::temp_directory_path() / "vyr_bench_video";
  std::filesystem::create_directories(folder);
  const std::string path =
      (folder / ("clip_" + size + "_" + std::to_string(seconds) + ".mp4")).string();
  if (std::filesystem::exists(path)) return path;
  const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=" + size +
                              ":rate=30:duration=" + std::to_string(seconds) +
                              " -c:v libx264 -preset veryfast -g 30 -pix_fmt yuv420p '" + path +
                              ".tmp.mp4' && mv '" + path + ".tmp.mp4' '" + path + "'";
  return Run(command) ? path : std::string();
}

TRef<TWinVideoSource> OpenSource(const std::string& path) {
  return TWinVideoSource::Open(TFileStream::TryOpen(path, TFileStream::Mode::Read), path);
}

double FfmpegSeconds(const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  Run("ffmpeg -nostdin -v error -benchmark -i '" + path + "' -f null - >/dev/null 2>&1");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DecodeClip1080p(benchmark::State& state) {
  const std::string path = Clip("1920x1080", ClipSeconds());
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  double ours = 0, theirs = 0;
  int frames = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    TRef<TWinVideoSource> source = OpenSource(path);
    if (!source) return state.SkipWithError("the clip did not open");
    auto picture = MakeRef<TVideoPicture>(1920, 1080, TVideoKind::Yuv420);
    frames = source->Params().frameCount;
    for (int i = 0; i < frames; ++i) benchmark::DoNotOptimize(source->GetFrame(i, *picture));
    ours += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    theirs += FfmpegSeconds(path);
  }
  state.counters["frames"] = frames;
  state.counters["ours_s"] = ours / state.iterations();
  state.counters["ffmpeg_s"] = theirs / state.iterations();
  state.counters["ratio"] = ours / theirs;  // goal: at most 1.1
}
BENCHMARK(BM_DecodeClip1080p)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Argument 0: frame i after a jump (seek to the key frame at or before i, decode on);
// 1: the same frames decoded on from that key frame without a jump.
void BM_JumpTo1080p(benchmark::State& state) {
  const std::string path = Clip("1920x1080", std::min(ClipSeconds(), 20));
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  TRef<TWinVideoSource> source = OpenSource(path);
  if (!source) return state.SkipWithError("the clip did not open");
  auto picture = MakeRef<TVideoPicture>(1920, 1080, TVideoKind::Yuv420);
  std::mt19937 random(3);
  const int frames = source->Params().frameCount;
  for (auto _ : state) {
    const int i = std::uniform_int_distribution<int>(0, frames - 1)(random);
    const int key = i / 30 * 30;
    if (state.range(0) == 0) {
      state.PauseTiming();
      source->GetFrame((i + frames / 2) % frames, *picture);  // somewhere else first
      state.ResumeTiming();
      benchmark::DoNotOptimize(source->GetFrame(i, *picture));
    } else {
      state.PauseTiming();
      source->GetFrame(key, *picture);  // positioned on the key frame
      state.ResumeTiming();
      for (int k = key + 1; k <= i; ++k) benchmark::DoNotOptimize(source->GetFrame(k, *picture));
      if (key == i) benchmark::DoNotOptimize(source->GetFrame(i, *picture));
    }
  }
}
BENCHMARK(BM_JumpTo1080p)->Arg(0)->Arg(1)->Iterations(60)->Unit(benchmark::kMillisecond);

// Argument 1: a headless 1280 x 720 frame with the clip's exact frame drawn (decoded ahead,
// uploaded, converted by the shader), read back; 0: the same frame without the clip.
void BM_Frame720pClip(benchmark::State& state) {
  const std::string path = Clip("1280x720", 10);
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  auto device = MakeRef<THeadlessDrawDevice>(1280, 720);
  auto drawer = MakeRef<T3DDrawer>();
  drawer->Attach(device.Get());
  drawer->SetCaptureMode(true);
  if (!drawer->Screen().Renderer()) return state.SkipWithError("no headless OpenGL");
  auto extractor = MakeRef<TVyrVideoExtractor>(OpenSource(path));
  for (int k = 0; k < 2; ++k)
    extractor->Add(drawer->CreateVideoImage(1280, 720, TVideoKind::Yuv420));
  class TItem : public TDrawItem {
   public:
    std::function<void(TDeviceDrawer&)> draw;
    void Draw(TDeviceDrawer& d) override { draw(d); }
  };
  auto item = MakeRef<TItem>();
  double t = 0;
  const bool withClip = state.range(0) == 1;
  item->draw = [&](TDeviceDrawer& d) {
    static_cast<T3DDrawer&>(d).ClearAll(0xFF202020);
    if (!withClip) return;
    extractor->Request(true, t);
    TPoolEntry entry;
    bool exact = false;
    if (!extractor->Lend(30, t, entry, exact)) return;
    TVideoDrawParams params;
    params.image.placement.origin = TVec3{0, 0, 0};
    params.image.pivotRect = TFloatRect{0, 0, 1280, 720};
    params.image.lutForm = TLutForm::kCross;
    params.image.leftLut = params.image.rightLut = &VideoColourCube(false, false);
    params.picture = entry.picture.Get();
    d.DrawVideo(params);
    extractor->GiveBack(std::move(entry));
  };
  for (auto _ : state) {
    drawer->DrawItem(*item);
    benchmark::DoNotOptimize(drawer->Capture());
    t += 1000.0 / 30;
    if (t > 9000) t = 0;
  }
}
BENCHMARK(BM_Frame720pClip)->Arg(0)->Arg(1)->Iterations(90)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();

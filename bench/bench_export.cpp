// Exporting the demo at 1280 x 720 and 30 fps: the whole export (drawing, sound and
// encoding side by side), drawing the same frames to memory alone, and encoding as many
// pre-drawn frames alone; wall and CPU seconds of each, the export's ratio to real time
// per codec, and the peak memory of a short and a three times as long export.
// The show is VYR_BENCH_SHOW, else build/demo/demo.vyshow (made by `make run`);
// VYR_BENCH_FRAMES frames per run (default 90).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

#include "export/export_pipeline.h"
#include "export_command.h"
#include "frame_renderer.h"

namespace vyr {
namespace {

constexpr int kWidth = 1280, kHeight = 720, kFps = 30;

std::string ShowPath() {
  const char* show = std::getenv("VYR_BENCH_SHOW");
  return show ? show : "build/demo/demo.vyshow";
}

int64_t FrameCount() {
  const char* frames = std::getenv("VYR_BENCH_FRAMES");
  return frames ? std::max(1, std::atoi(frames)) : 90;
}

std::string WorkFolder() {
  const auto path = std::filesystem::temp_directory_path() / "vyr_bench_export";
  std::filesystem::create_directories(path);
  return path.string();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The peak resident size since the last reset ("VmHWM"; writing 5 to clear_refs resets it).
void ResetPeak() {
  if (std::FILE* file = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", file);
    std::fclose(file);
  }
}

double PeakMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// Times one run of work and reports wall and CPU seconds as counters.
template <class Work>
void Measure(benchmark::State& state, Work work, int64_t frames = FrameCount()) {
  for (auto _ : state) {
    ResetPeak();
    const auto started = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    if (!work()) {
      state.SkipWithError("the run failed (is the demo show built? run `make run`)");
      return;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    state.SetIterationTime(wall.count());
    state.counters["wall_s"] = wall.count();
    state.counters["cpu_s"] = CpuSeconds() - cpu;
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["x_realtime"] = static_cast<double>(frames) / kFps / wall.count();
    state.counters["peak_MB"] = PeakMegabytes();
  }
}

bool Export(const std::string& extension, const std::string& codec, int64_t frames) {
  viewer::TLongOptions options;
  options.exportPath = WorkFolder() + "/demo" + extension;
  options.codec = codec;
  options.width = kWidth;
  options.height = kHeight;
  options.fps = kFps;
  options.from = 0;
  options.to = static_cast<double>(frames) * 1000.0 / kFps;
  options.seed = 1;
  options.quiet = true;
  viewer::TFrameRenderer renderer;
  return renderer.Open(ShowPath(), kWidth, kHeight, options.seed, false, true).empty() &&
         viewer::ExportCommand(options, renderer) == 0;
}

void BM_Export(benchmark::State& state) {
  static const char* const kCodecs[][2] = {
      {".mp4", "h264"}, {".mp4", "hevc"}, {".webm", "vp9"}, {".webm", "av1"}};
  const auto* codec = kCodecs[state.range(0)];
  state.SetLabel(codec[1]);
  Measure(state, [&] { return Export(codec[0], codec[1], FrameCount()); });
}

void BM_RenderAlone(benchmark::State& state) {
  viewer::TFrameRenderer renderer;
  if (!renderer.Open(ShowPath(), kWidth, kHeight, 1, false, true).empty()) {
    state.SkipWithError("the demo show does not open (run `make run`)");
    return;
  }
  std::vector<uint8_t> memory(static_cast<size_t>(kWidth) * kHeight * 4);
  Measure(state, [&] {
    for (int64_t k = 0; k < FrameCount(); ++k) {
      TRef<TBitmap> frame = renderer.Render(static_cast<double>(k) * 1000.0 / kFps);
      if (!frame) return false;
      for (int y = 0; y < kHeight; ++y)
        std::copy_n(frame->Row(y), kWidth * 4, memory.data() + static_cast<size_t>(y) * kWidth * 4);
    }
    return true;
  });
}

void BM_EncodeAlone(benchmark::State& state) {
  viewer::TFrameRenderer renderer;
  if (!renderer.Open(ShowPath(), kWidth, kHeight, 1, false, true).empty()) {
    state.SkipWithError("the demo show does not open (run `make run`)");
    return;
  }
  // One second of the show's frames, drawn beforehand and used in turn.
  std::vector<exporting::TVideoFrame> drawn(kFps);
  for (int k = 0; k < kFps; ++k) {
    TRef<TBitmap> frame = renderer.Render(2000 + k * 1000.0 / kFps);
    if (!frame) return state.SkipWithError("the frame could not be drawn");
    drawn[k].stride = kWidth * 4;
    drawn[k].pixels.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
      std::copy_n(frame->Row(y), kWidth * 4,
                  drawn[k].pixels.data() + static_cast<size_t>(y) * kWidth * 4);
  }
  exporting::TExportJob job;
  job.outPath = WorkFolder() + "/encode-alone.mp4";
  job.format = exporting::ChooseOutputFormat(job.outPath, "", std::nullopt);
  job.shape = {kWidth, kHeight, kFps};
  job.frameCount = FrameCount();
  job.soundFrames =
      static_cast<uint64_t>(FrameCount()) * exporting::TMediaWriter::kSoundRate / kFps;
  job.draw = [&](int64_t index, exporting::TVideoFrame& frame) {
    frame = drawn[static_cast<size_t>(index) % drawn.size()];
    return true;
  };
  job.pullSound = [](int16_t* out, size_t count) { std::fill_n(out, count * 2, int16_t{0}); };
  Measure(state,
          [&] { return exporting::RunExport(job).kind == exporting::TExportOutcome::Kind::Done; });
}

// Peak memory of exports of FrameCount() and three times as many frames.
void BM_ExportLength(benchmark::State& state) {
  const int64_t frames = FrameCount() * state.range(0);
  Measure(
      state, [&] { return Export(".mp4", "h264", frames); }, frames);
}

// The colour conversion alone: one 1280 x 720 BGRA frame to BT.709 YUV 4:2:0 with
// libswscale as the writer sets it up, per frame.
void BM_ColourConversion(benchmark::State& state) {
  SwsContext* scaler =
      sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGRA, kWidth, kHeight, AV_PIX_FMT_YUV420P,
                     SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
  sws_setColorspaceDetails(scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
  std::vector<uint8_t> bgra(static_cast<size_t>(kWidth) * kHeight * 4);
  for (size_t i = 0; i < bgra.size(); ++i) bgra[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> y(static_cast<size_t>(kWidth) * kHeight), u(y.size() / 4), v(y.size() / 4);
  const uint8_t* source = bgra.data();
  const int sourceStride = kWidth * 4;
  uint8_t* planes[3] = {y.data(), u.data(), v.data()};
  const int strides[3] = {kWidth, kWidth / 2, kWidth / 2};
  for (auto _ : state) sws_scale(scaler, &source, &sourceStride, 0, kHeight, planes, strides);
  sws_freeContext(scaler);
}

BENCHMARK(BM_ColourConversion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderAlone)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_EncodeAlone)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_Export)->DenseRange(0, 3)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ExportLength)
    ->Arg(1)
    ->Arg(3)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vyr

BENCHMARK_MAIN();

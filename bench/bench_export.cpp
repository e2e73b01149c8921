// Exporting the demo at 1280 x 720 and 30 fps: the whole export (drawing, sound and
// encoding side by side), drawing the same frames to memory alone, and encoding as many
// pre-drawn frames alone; wall and CPU seconds of each, the export's ratio to real time
// per codec, and the peak memory of a short and a three times as long export.
// BM_ExportAgainstFfmpeg puts the H.264 export beside `ffmpeg` encoding the same frames
// (drawn and converted beforehand, read from a raw file) and the same sound with the same
// settings, in turn in the same run. BM_ColourConversion: our conversion to YUV 4:2:0 beside
// libswscale's as the writer used it before.
// The show is VYR_BENCH_SHOW, else build/demo/demo.vyshow (made by `make run`);
// VYR_BENCH_FRAMES frames per run (default 90; 1995 is the whole demo).

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

#include "audio/player/soundtrack_render.h"
#include "bench_files.h"
#include "export/export_pipeline.h"
#include "export/yuv_conversion.h"
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

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool Export(const std::string& extension, const std::string& codec, int64_t frames,
            bool reuse = true) {
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
  if (!renderer.Open(ShowPath(), kWidth, kHeight, options.seed, false, true).empty()) return false;
  renderer.SetFrameReuse(reuse);
  return viewer::ExportCommand(options, renderer) == 0;
}

// The export's frames as raw YUV 4:2:0 and its sound as raw 16-bit stereo, for ffmpeg.
bool WriteRawFrames(const std::string& video, const std::string& sound, int64_t frames) {
  viewer::TFrameRenderer renderer;
  if (!renderer.Open(ShowPath(), kWidth, kHeight, 1, false, true).empty()) return false;
  std::ofstream out(video, std::ios::binary);
  std::vector<uint8_t> yuv(static_cast<size_t>(kWidth) * kHeight * 3 / 2);
  uint8_t* cb = yuv.data() + static_cast<size_t>(kWidth) * kHeight;
  const exporting::TYuvPlanes planes{{yuv.data(), cb, cb + yuv.size() / 6},
                                     {kWidth, kWidth / 2, kWidth / 2}};
  for (int64_t k = 0; k < frames; ++k) {
    TRef<TBitmap> frame = renderer.Render(static_cast<double>(k) * 1000.0 / kFps);
    if (!frame) return false;
    exporting::BgraToYuv420(frame->Row(0), static_cast<int>(frame->RowBytes()), kWidth, kHeight,
                            planes);
    out.write(reinterpret_cast<const char*>(yuv.data()), static_cast<std::streamsize>(yuv.size()));
  }
  TSoundtrackStream soundtrack(renderer.Source(), renderer.Files());
  if (!soundtrack.Start(0).empty()) return false;
  std::vector<int16_t> samples(
      static_cast<size_t>(frames * exporting::TMediaWriter::kSoundRate / kFps) * 2);
  soundtrack.Pull(samples.data(), samples.size() / 2);
  soundtrack.Stop();
  std::ofstream(sound, std::ios::binary)
      .write(reinterpret_cast<const char*>(samples.data()),
             static_cast<std::streamsize>(samples.size() * sizeof(int16_t)));
  return static_cast<bool>(out);
}

// Wall and CPU seconds of one run of work; CPU of this process and of its children.
struct TTimes {
  double wall = 0, cpu = 0;
};
template <class Work>
bool Time(Work work, TTimes& times) {
  const auto started = std::chrono::steady_clock::now();
  const double cpu = CpuSeconds() + ChildCpuSeconds();
  if (!work()) return false;
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
  times.wall = wall.count();
  times.cpu = CpuSeconds() + ChildCpuSeconds() - cpu;
  return true;
}

// Argument 1: frames and slides that did not change are not drawn again (the default); 0:
// everything drawn afresh.
void BM_ExportAgainstFfmpeg(benchmark::State& state) {
  const bool reuse = state.range(0) != 0;
  state.SetLabel(reuse ? "reuse" : "no reuse");
  const std::string folder = WorkFolder();
  const std::string video = folder + "/frames.yuv", sound = folder + "/sound.raw";
  const int64_t frames = FrameCount();
  if (!WriteRawFrames(video, sound, frames))
    return state.SkipWithError("the demo show does not open (run `make run`)");
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", kWidth, kHeight);
  // What our H.264 export sets: CRF 18, preset medium, a key frame every two seconds, BT.709
  // limited range, AAC at 192 kbit/s, the index at the front.
  const std::string ffmpeg =
      "ffmpeg -nostdin -y -loglevel error -f rawvideo -pix_fmt yuv420p -s " + std::string(size) +
      " -framerate " + std::to_string(kFps) + " -i " + video + " -f s16le -ar 44100 -ac 2 -i " +
      sound + " -c:v libx264 -preset medium -crf 18 -g " + std::to_string(2 * kFps) +
      " -force_key_frames 'expr:eq(mod(n," + std::to_string(2 * kFps) +
      "),0)' -color_range tv -colorspace bt709 -color_primaries bt709 -color_trc bt709"
      " -c:a aac -b:a 192k -movflags +faststart " +
      folder + "/ffmpeg.mp4";
  for (auto _ : state) {
    TTimes ours, theirs;
    if (!Time([&] { return Export(".mp4", "h264", frames, reuse); }, ours) ||
        !Time([&] { return bench::Run(ffmpeg); }, theirs)) {
      state.SkipWithError("the export or ffmpeg failed");
      break;
    }
    state.SetIterationTime(ours.wall);
    state.counters["wall_s"] = ours.wall;
    state.counters["cpu_s"] = ours.cpu;
    state.counters["ffmpeg_wall_s"] = theirs.wall;
    state.counters["ffmpeg_cpu_s"] = theirs.cpu;
    state.counters["vs_ffmpeg"] = ours.wall / theirs.wall;
    state.counters["cpu_vs_ffmpeg"] = ours.cpu / theirs.cpu;
    state.counters["x_realtime"] = static_cast<double>(frames) / kFps / ours.wall;
  }
  std::filesystem::remove(video);
  std::filesystem::remove(sound);
}

void BM_Export(benchmark::State& state) {
  static const char* const kCodecs[][2] = {
      {".mp4", "h264"}, {".mp4", "hevc"}, {".webm", "vp9"}, {".webm", "av1"}};
  const auto* codec = kCodecs[state.range(0)];
  state.SetLabel(codec[1]);
  Measure(state, [&] { return Export(codec[0], codec[1], FrameCount()); });
}

// Argument: 1 with reuse of unchanged frames and slides, 0 without.
void BM_RenderAlone(benchmark::State& state) {
  viewer::TFrameRenderer renderer;
  if (!renderer.Open(ShowPath(), kWidth, kHeight, 1, false, true).empty()) {
    state.SkipWithError("the demo show does not open (run `make run`)");
    return;
  }
  renderer.SetFrameReuse(state.range(0) != 0);
  state.SetLabel(state.range(0) != 0 ? "reuse" : "no reuse");
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

// The colour conversion alone: one 1280 x 720 BGRA frame to BT.709 YUV 4:2:0, per frame:
// 0 with libswscale as the writer used it before, 1 ours.
void BM_ColourConversion(benchmark::State& state) {
  std::vector<uint8_t> bgra(static_cast<size_t>(kWidth) * kHeight * 4);
  for (size_t i = 0; i < bgra.size(); ++i) bgra[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> y(static_cast<size_t>(kWidth) * kHeight), u(y.size() / 4), v(y.size() / 4);
  const uint8_t* source = bgra.data();
  const int sourceStride = kWidth * 4;
  uint8_t* planes[3] = {y.data(), u.data(), v.data()};
  const int strides[3] = {kWidth, kWidth / 2, kWidth / 2};
  if (state.range(0) == 1) {
    state.SetLabel("ours");
    const exporting::TYuvPlanes out{{planes[0], planes[1], planes[2]},
                                    {strides[0], strides[1], strides[2]}};
    for (auto _ : state) exporting::BgraToYuv420(source, sourceStride, kWidth, kHeight, out);
    return;
  }
  state.SetLabel("libswscale");
  SwsContext* scaler =
      sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGRA, kWidth, kHeight, AV_PIX_FMT_YUV420P,
                     SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
  sws_setColorspaceDetails(scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
  for (auto _ : state) sws_scale(scaler, &source, &sourceStride, 0, kHeight, planes, strides);
  sws_freeContext(scaler);
}

BENCHMARK(BM_ColourConversion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportAgainstFfmpeg)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_RenderAlone)->Arg(1)->Arg(0)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
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

// `vyrviewer --frames` against ffmpeg on the same job: the first 30 frames (33 ms apart) of a
// one-second cross-fade between two 24-megapixel JPEGs at 1920 x 1080, written as PNG files,
// each program started afresh and each picture decoded once. ffmpeg gets the pictures as two
// single-frame inputs repeated by its loop filter after scaling (decoded once), and, for
// comparison, as two "-loop 1" inputs (decoded again for every frame). Each run reports frames
// per second of wall time and the size of the files written.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_files.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 30;

fs::path Dir() {
  static const fs::path dir = bench::TempFolder("vyr_bench_frames");
  return dir;
}

fs::path Player() { return bench::BuildFolder() / "apps/vyrviewer/vyrviewer"; }

using bench::Run;

// The two pictures (ffmpeg test patterns, as the compose benchmark uses) and the project.
bool MakeShow() {
  const char* sources[2] = {"testsrc2", "smptehdbars"};
  std::string project =
      "[Main]\r\nopt_scr_width=1920\r\nopt_scr_height=1080\r\n"
      "[Times]\r\nopt_slidescount=2\r\nopt_synchpos1=2000\r\nopt_synchpos2=4000\r\n";
  for (int k = 0; k < 2; ++k) {
    const std::string name = k == 0 ? "a.jpg" : "b.jpg";
    if (!bench::MakePatternJpeg(Dir() / name, sources[k])) return false;
    project += "[Slide" + std::to_string(k + 1) +
               "]\r\nobject Root:Root\r\nobject pic:Image\r\nGUID={00000000-0000-0000-0000-"
               "00000000000" +
               std::to_string(k + 1) + "}\r\nImageName=" + name +
               "\r\nend\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=dissolve\r\n  "
               "time=1000\r\nend\r\n";
  }
  std::ofstream(Dir() / "Project.vyr", std::ios::binary | std::ios::trunc) << project;
  return true;
}

// An empty output folder.
fs::path Out(const std::string& name) {
  const fs::path out = Dir() / name;
  fs::remove_all(out);
  fs::create_directories(out);
  return out;
}

uintmax_t FolderBytes(const fs::path& folder, int& files) {
  uintmax_t bytes = 0;
  files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    bytes += entry.file_size();
    ++files;
  }
  return bytes;
}

double oursFps = 0;

// Runs the command for each iteration into a fresh folder, timing it as a whole.
double TimeRuns(benchmark::State& state, const std::string& name,
                const std::string& commandBeforeOut, const std::string& commandAfterOut) {
  if (!MakeShow()) {
    state.SkipWithError("ffmpeg could not make the pictures");
    return 0;
  }
  double seconds = 0;
  uintmax_t bytes = 0;
  int files = 0;
  for (auto _ : state) {
    const fs::path out = Out(name);
    const auto start = std::chrono::steady_clock::now();
    if (!Run(commandBeforeOut + out.string() + commandAfterOut)) {
      state.SkipWithError("the program failed");
      return 0;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    seconds += took.count();
    bytes = FolderBytes(out, files);
  }
  if (files != kFrames) state.SkipWithError("not every frame was written");
  const double fps = seconds > 0 ? kFrames * static_cast<double>(state.iterations()) / seconds : 0;
  state.counters["fps"] = fps;
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  return fps;
}

void BM_VyrviewerFramesPng(benchmark::State& state) {
  const std::string before = Player().string() + " --frames 2000:2957:33 --size 1920x1080 --out ";
  oursFps = TimeRuns(state, "ours", before, " " + (Dir() / "Project.vyr").string());
}

std::string XfadeGraph(bool loopFilter) {
  auto fit = [&](int input, const char* label) {
    return "[" + std::to_string(input) + ":v]scale=1620:1080,pad=1920:1080:150:0,format=rgb24" +
           (loopFilter ? ",loop=loop=-1:size=1,setpts=N/30/TB" : "") + "[" + label + "];";
  };
  return " -filter_complex \"" + fit(0, "a") + fit(1, "b") +
         "[a][b]xfade=transition=fade:duration=1:offset=0\" -frames:v 30 ";
}

void FfmpegRun(benchmark::State& state, bool loopInputs) {
  const std::string a = (Dir() / "a.jpg").string(), b = (Dir() / "b.jpg").string();
  const std::string inputs =
      loopInputs ? " -loop 1 -framerate 30 -i " + a + " -loop 1 -framerate 30 -i " + b
                 : " -i " + a + " -i " + b;
  const std::string before = "ffmpeg -v error -y" + inputs + XfadeGraph(!loopInputs);
  const double fps =
      TimeRuns(state, loopInputs ? "ffmpeg_loop" : "ffmpeg", before, "/frame_%03d.png");
  if (oursFps > 0 && fps > 0) state.counters["ours_to_this"] = oursFps / fps;
}

void BM_FfmpegXfadePngDecodedOnce(benchmark::State& state) { FfmpegRun(state, false); }
void BM_FfmpegXfadePngLoopInputs(benchmark::State& state) { FfmpegRun(state, true); }

BENCHMARK(BM_VyrviewerFramesPng)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_FfmpegXfadePngDecodedOnce)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(BM_FfmpegXfadePngLoopInputs)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

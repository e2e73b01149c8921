// The player in its real window under Xvfb, timed from outside as a user meets it:
// - process start to the first frame of slide 1 (the demo show; a show of 24-megapixel JPEGs
//   at 1920 x 1080 against decoding its first picture alone at the level it is drawn at);
// - frames per second and the share of late frame intervals while something moves (a
//   keyframe-animated slide at 1280 x 720; cross-fades at 1280 x 720 and 1920 x 1080 against
//   the headless drawer drawing the same frames);
// - CPU while paused, and peak memory while playing a 200-slide show against a 20-slide one.
// The player writes its first-frame and frame-pacing lines to standard error with -log. Without
// a display the program runs itself again under xvfb-run. The shows are written into a
// temporary folder (pictures by ImageMagick); the demo show is build/demo/demo.vyshow
// (VYR_BENCH_SHOW names another), packed first when missing.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_files.h"
#include "foundation/stream.h"
#include "frame_renderer.h"
#include "imaging/decode/decoder_registry.h"

extern char** environ;

namespace vyr {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kConvert = "/usr/bin/convert";

using bench::BuildFolder;
using bench::Run;

std::string ViewerPath() {
  if (const char* viewer = std::getenv("VYR_BENCH_VIEWER")) return viewer;
  return (BuildFolder() / "apps/vyrviewer/vyrviewer").string();
}

fs::path Dir() {
  static const fs::path dir = bench::TempFolder("vyr_bench_player");
  return dir;
}

double MonotonicSeconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// One player process with its standard error in a file.
class TViewerRun {
 public:
  TViewerRun(const std::vector<std::string>& args, const std::string& name) {
    err_ = Dir() / (name + ".stderr");
    fs::remove(err_);
    const std::string program = ViewerPath();
    // "-log" last: a classic option takes the values that follow it.
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("-log");
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    started_ = MonotonicSeconds();
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TViewerRun() { Stop(); }
  TViewerRun(const TViewerRun&) = delete;
  TViewerRun& operator=(const TViewerRun&) = delete;

  double Started() const { return started_; }
  pid_t Pid() const { return pid_; }
  // The first line of standard error holding needle, waiting up to timeoutMs.
  std::optional<std::string> WaitLine(const std::string& needle, int timeoutMs = 60000) {
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
      const std::string text = ReadAll(err_);
      if (const size_t at = text.find(needle); at != std::string::npos) {
        const size_t begin = text.rfind('\n', at);
        const size_t end = text.find('\n', at);
        if (end != std::string::npos)
          return text.substr(begin == std::string::npos ? 0 : begin + 1,
                             end - (begin == std::string::npos ? 0 : begin + 1));
      }
      if (pid_ == 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = 0;
        return std::nullopt;
      }
      Sleep(10);
    }
    return std::nullopt;
  }
  // Ends the player as closing its window does (SDL turns SIGTERM into a quit request) and
  // returns what it wrote to standard error.
  std::string Stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int waited = 0;
      while (::waitpid(pid_, nullptr, WNOHANG) != pid_) {
        if (waited > 10000) {
          ::kill(pid_, SIGKILL);
          ::waitpid(pid_, nullptr, 0);
          break;
        }
        Sleep(20);
        waited += 20;
      }
      pid_ = 0;
    }
    return ReadAll(err_);
  }
  // The process's CPU seconds so far (user + system).
  double CpuSeconds() const {
    std::istringstream stat(ReadAll("/proc/" + std::to_string(pid_) + "/stat"));
    std::string field;
    // Fields 14 and 15 are utime and stime, in clock ticks; the command name may hold blanks.
    std::string text = stat.str();
    const size_t close = text.rfind(')');
    std::istringstream rest(text.substr(close + 2));
    std::vector<std::string> fields;
    while (rest >> field) fields.push_back(field);
    if (fields.size() < 13) return 0;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (std::stod(fields[11]) + std::stod(fields[12])) / ticks;
  }
  // The resident high-water mark in MB.
  double PeakMegabytes() const {
    std::istringstream status(ReadAll("/proc/" + std::to_string(pid_) + "/status"));
    for (std::string line; std::getline(status, line);)
      if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
    return 0;
  }

 private:
  fs::path err_;
  pid_t pid_ = 0;
  double started_ = 0;
};

// Milliseconds from spawning the player to its first frame, from its log line
// "... first frame shown at N ms (monotonic S s)".
std::optional<double> StartToFirstFrameMs(TViewerRun& run) {
  const auto line = run.WaitLine("first frame shown");
  if (!line) return std::nullopt;
  const size_t at = line->find("(monotonic ");
  if (at == std::string::npos) return std::nullopt;
  return (std::stod(line->substr(at + 11)) - run.Started()) * 1000.0;
}

struct TPacing {
  double fps = 0;
  double latePercent = 0;
  long long frames = 0;
};

// The engine's summary "Frames while playing: F drawn, R per second, L of I intervals ...".
std::optional<TPacing> ParsePacing(const std::string& log) {
  const size_t at = log.find("Frames while playing: ");
  if (at == std::string::npos) return std::nullopt;
  long long frames = 0, late = 0, intervals = 0;
  double fps = 0;
  if (std::sscanf(log.c_str() + at,
                  "Frames while playing: %lld drawn, %lf per second, %lld of %lld", &frames, &fps,
                  &late, &intervals) != 4)
    return std::nullopt;
  TPacing pacing;
  pacing.fps = fps;
  pacing.frames = frames;
  pacing.latePercent = intervals > 0 ? 100.0 * static_cast<double>(late) / intervals : 0;
  return pacing;
}

// ---- shows ----

bool MakePhoto(const fs::path& file, int width, int height, int seed) {
  if (fs::exists(file)) return true;
  return Run(kConvert + " -seed " + std::to_string(seed) + " -size " + std::to_string(width) + "x" +
             std::to_string(height) +
             " plasma:fractal -attenuate 0.3 +noise Gaussian -quality 90 " + file.string() +
             " >/dev/null 2>&1");
}

std::string MainSection(int width, int height) {
  return "[Main]\r\nopt_scr_width=" + std::to_string(width) +
         "\r\nopt_scr_height=" + std::to_string(height) +
         "\r\nopt_scr_full=0\r\nopt_scr_caption=VyrBench\r\nopt_repeat=repeat\r\n"
         "opt_pausewheninactive=0\r\n";
}

std::string Times(int slides, int slideMs) {
  std::string text = "[Times]\r\nopt_slidescount=" + std::to_string(slides) + "\r\n";
  for (int k = 1; k <= slides; ++k)
    text += "opt_synchpos" + std::to_string(k) + "=" + std::to_string(k * slideMs) + "\r\n";
  return text;
}

// Slides each showing picture file pictures[k % count] placed into the slide (the slide's
// "Picture" key alone names its main picture for printing and draws nothing), joined by
// cross-fades of fadeMs.
fs::path PictureShow(const std::string& name, int width, int height, int slides, int slideMs,
                     int fadeMs, const std::vector<std::string>& pictures) {
  const fs::path folder = Dir() / name;
  fs::create_directories(folder);
  std::string text = MainSection(width, height) + Times(slides, slideMs);
  for (int k = 0; k < slides; ++k) {
    const std::string& picture = pictures[static_cast<size_t>(k) % pictures.size()];
    char guid[48];
    std::snprintf(guid, sizeof guid, "{00000000-0000-0000-0000-%012x}", k + 1);
    text += "[Slide" + std::to_string(k + 1) + "]\r\nPicture=" + picture +
            "\r\nobject Root:Root\r\nobject pic:Image\r\nGUID=" + guid +
            "\r\nImageName=" + picture + "\r\nend\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=" +
            (fadeMs > 0 ? "dissolve" : "none") + "\r\n  time=" + std::to_string(fadeMs) +
            "\r\nend\r\n";
  }
  std::ofstream(folder / "Project.vyr", std::ios::binary | std::ios::trunc) << text;
  return folder / "Project.vyr";
}

// One slide of a minute: a box that crosses the frame turning, a text that grows, no transition.
fs::path KeyframeShow() {
  const fs::path folder = Dir() / "keyframes";
  fs::create_directories(folder);
  std::string text = MainSection(1280, 720) + Times(1, 60000) +
                     "[Slide1]\r\nobject TheEffect:AnEffect\r\n  ref=none\r\n  time=0\r\nend\r\n"
                     "object Slide:Root\r\n"
                     "  object Box:Box\r\n    Size=1280,720\r\n    FillMode=Solid\r\n"
                     "    Color1=240,160,40\r\n"
                     "    object K1:KeyPoint\r\n      Time=0\r\n      grps=14\r\n"
                     "      Position=-80,0\r\n      ScaleX=20\r\n      ScaleY=20\r\n"
                     "      Angle=0\r\n    end\r\n"
                     "    object K2:KeyPoint\r\n      Origin=SlideEnd\r\n      Time=0\r\n"
                     "      grps=14\r\n      Position=80,0\r\n      ScaleX=40\r\n"
                     "      ScaleY=40\r\n      Angle=7200\r\n    end\r\n  end\r\n"
                     "  object Title:Text\r\n    Text=VyrViewer\r\n    FontName=Arial\r\n"
                     "    TextColor=255,255,255\r\n"
                     "    object K1:KeyPoint\r\n      Time=0\r\n      grps=6\r\n"
                     "      Position=0,50\r\n      ScaleX=5\r\n      ScaleY=5\r\n    end\r\n"
                     "    object K2:KeyPoint\r\n      Origin=SlideEnd\r\n      Time=0\r\n"
                     "      grps=6\r\n      Position=0,50\r\n      ScaleX=30\r\n"
                     "      ScaleY=30\r\n    end\r\n  end\r\nend\r\n";
  std::ofstream(folder / "Project.vyr", std::ios::binary | std::ios::trunc) << text;
  return folder / "Project.vyr";
}

fs::path DemoShow() {
  if (const char* show = std::getenv("VYR_BENCH_SHOW")) return show;
  for (const fs::path& build : {BuildFolder(), fs::path(VYR_SOURCE_DIR) / "build"}) {
    const fs::path show = build / "demo/demo.vyshow";
    if (fs::exists(show)) return show;
  }
  // Pack it with this build's packer, as `make run` does.
  const std::string pack = "cd " + std::string(VYR_SOURCE_DIR) +
                           " && VYR_DEMO_PACK_ONLY=1 scripts/run-demo.sh " +
                           BuildFolder().string() + " >/dev/null 2>&1";
  Run(pack);
  return BuildFolder() / "demo/demo.vyshow";
}

// ---- benchmarks ----

void ReportStart(benchmark::State& state, const std::vector<std::string>& args,
                 double* bestOut = nullptr) {
  std::vector<double> times;
  for (auto _ : state) {
    TViewerRun run(args, "start");
    const auto ms = StartToFirstFrameMs(run);
    run.Stop();
    if (!ms) return state.SkipWithError("the player showed no frame (see the .stderr file)");
    times.push_back(*ms);
    Sleep(300);
  }
  std::sort(times.begin(), times.end());
  state.counters["first_frame_ms_best"] = times.front();
  state.counters["first_frame_ms_median"] = times[times.size() / 2];
  if (bestOut) *bestOut = times.front();
}

void BM_StartToFirstFrame_Demo(benchmark::State& state) {
  const fs::path show = DemoShow();
  if (!fs::exists(show)) return state.SkipWithError("no demo show (run `make run` first)");
  ReportStart(state, {show.string()});
}
BENCHMARK(BM_StartToFirstFrame_Demo)->Unit(benchmark::kMillisecond)->Iterations(5);

// The level the drawer decodes a picture at: the smallest one still at least as large as the
// picture's place in the frame (each level halves the sides).
int DrawLevel(int width, int height, int frameWidth, int frameHeight) {
  const double scale =
      std::min(static_cast<double>(frameWidth) / width, static_cast<double>(frameHeight) / height);
  int level = 0;
  while (level < 3 && (width >> (level + 1)) >= scale * width &&
         (height >> (level + 1)) >= scale * height)
    ++level;
  return level;
}

double DecodeAloneMs(const fs::path& file, int level) {
  const auto start = Clock::now();
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  auto image = DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), file.string());
  benchmark::DoNotOptimize(image->Store().GetMipLevel(level).Get());
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_StartToFirstFrame_24MegapixelJpegs(benchmark::State& state) {
  std::vector<std::string> names;
  const fs::path folder = Dir() / "photos24";
  fs::create_directories(folder);
  for (int k = 1; k <= 3; ++k) {
    const std::string name = "photo" + std::to_string(k) + ".jpg";
    if (!MakePhoto(folder / name, 6000, 4000, k))
      return state.SkipWithError("ImageMagick is missing");
    names.push_back(name);
  }
  const fs::path project = PictureShow("photos24", 1920, 1080, 3, 4000, 0, names);
  double best = 0;
  ReportStart(state, {project.string()}, &best);
  const int level = DrawLevel(6000, 4000, 1920, 1080);
  double alone = 1e9;
  for (int i = 0; i < 3; ++i) alone = std::min(alone, DecodeAloneMs(folder / names[0], level));
  state.counters["decode_alone_ms"] = alone;
  state.counters["level"] = level;
  state.counters["ratio"] = best / alone;
}
BENCHMARK(BM_StartToFirstFrame_24MegapixelJpegs)->Unit(benchmark::kMillisecond)->Iterations(3);

// Plays a show for playMs after its first frame and reads the engine's pacing summary.
std::optional<TPacing> PlayAndPace(const fs::path& project, const std::string& name, int playMs) {
  TViewerRun run({project.string()}, name);
  if (!run.WaitLine("first frame shown")) return std::nullopt;
  Sleep(playMs);
  return ParsePacing(run.Stop());
}

void BM_Playback_Keyframes_1280x720(benchmark::State& state) {
  const fs::path project = KeyframeShow();
  for (auto _ : state) {
    const auto pacing = PlayAndPace(project, "keyframes", 10000);
    if (!pacing) return state.SkipWithError("no pacing line from the player");
    state.counters["fps"] = pacing->fps;
    state.counters["late_percent"] = pacing->latePercent;
    state.counters["frames"] = static_cast<double>(pacing->frames);
  }
}
BENCHMARK(BM_Playback_Keyframes_1280x720)->Unit(benchmark::kSecond)->Iterations(1);

// Frames per second of the headless drawer over the same cross-fades, read back as the window's
// swap hands its frame to the X server.
double HeadlessFps(const fs::path& project, int width, int height, int slideMs, int fadeMs) {
  viewer::TFrameRenderer renderer;
  if (!renderer.Open(project.string(), width, height, 1, false, false).empty()) return 0;
  renderer.Render(slideMs);  // pictures decoded and uploaded before timing
  const int frames = 60;
  const auto start = Clock::now();
  for (int i = 0; i < frames; ++i) {
    // Through the fades of slides 2 and 3, as playback passes them.
    const int slide = 1 + i % 2;
    const double t = slide * slideMs + fadeMs * (0.05 + 0.9 * (i / 2) / (frames / 2.0));
    benchmark::DoNotOptimize(renderer.Render(t).Get());
  }
  return frames / std::chrono::duration<double>(Clock::now() - start).count();
}

void CrossFade(benchmark::State& state, int width, int height) {
  const std::string tag = std::to_string(width) + "x" + std::to_string(height);
  const fs::path folder = Dir() / ("fade" + tag);
  fs::create_directories(folder);
  std::vector<std::string> names;
  for (int k = 1; k <= 3; ++k) {
    const std::string name = "photo" + std::to_string(k) + ".jpg";
    if (!MakePhoto(folder / name, width, height, 20 + k))
      return state.SkipWithError("ImageMagick is missing");
    names.push_back(name);
  }
  // Slides of 2 s, 1.6 s of which are the incoming cross-fade.
  constexpr int kSlideMs = 2000, kFadeMs = 1600;
  const fs::path project = PictureShow("fade" + tag, width, height, 6, kSlideMs, kFadeMs, names);
  for (auto _ : state) {
    const auto pacing = PlayAndPace(project, "fade" + tag, 10000);
    if (!pacing) return state.SkipWithError("no pacing line from the player");
    const double headless = HeadlessFps(project, width, height, kSlideMs, kFadeMs);
    state.counters["fps"] = pacing->fps;
    state.counters["late_percent"] = pacing->latePercent;
    state.counters["headless_fps"] = headless;
    state.counters["ratio"] = headless > 0 ? pacing->fps / headless : 0;
  }
}

void BM_Playback_CrossFade_1280x720(benchmark::State& state) { CrossFade(state, 1280, 720); }
void BM_Playback_CrossFade_1920x1080(benchmark::State& state) { CrossFade(state, 1920, 1080); }
BENCHMARK(BM_Playback_CrossFade_1280x720)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_Playback_CrossFade_1920x1080)->Unit(benchmark::kSecond)->Iterations(1);

// Space pauses the demo (the window focused first: Xvfb has no window manager); then the
// CPU time of 10 s is measured.
void BM_CpuWhilePaused(benchmark::State& state) {
  const fs::path show = DemoShow();
  if (!fs::exists(show)) return state.SkipWithError("no demo show (run `make run` first)");
  for (auto _ : state) {
    TViewerRun run({show.string()}, "paused");
    if (!run.WaitLine("first frame shown")) return state.SkipWithError("no first frame");
    Sleep(2000);
    const std::string pid = std::to_string(run.Pid());
    if (!Run("w=$(xdotool search --onlyvisible --pid " + pid +
             " | head -n 1) && xdotool windowfocus --sync \"$w\" key space"))
      return state.SkipWithError("xdotool could not press Space");
    Sleep(1500);
    const double before = run.CpuSeconds();
    const auto start = Clock::now();
    Sleep(10000);
    const double cpu = run.CpuSeconds() - before;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
  }
}
BENCHMARK(BM_CpuWhilePaused)->Unit(benchmark::kSecond)->Iterations(1);

// Peak resident memory while playing 12 s of shows of 20 and 200 slides (0.4 s each, every slide
// its own picture file, 1280 x 720 JPEGs).
void BM_PeakMemory_20_vs_200_Slides(benchmark::State& state) {
  const fs::path folder = Dir() / "many";
  fs::create_directories(folder);
  if (!MakePhoto(folder / "base.jpg", 1280, 720, 7))
    return state.SkipWithError("ImageMagick is missing");
  std::vector<std::string> names;
  for (int k = 1; k <= 200; ++k) {
    const std::string name = "p" + std::to_string(k) + ".jpg";
    if (!fs::exists(folder / name)) fs::copy_file(folder / "base.jpg", folder / name);
    names.push_back(name);
  }
  for (auto _ : state) {
    double peak[2] = {0, 0};
    int i = 0;
    for (int slides : {20, 200}) {
      const fs::path project = PictureShow("many", 1280, 720, slides, 400, 200, names);
      const fs::path copy = folder / ("Project" + std::to_string(slides) + ".vyr");
      fs::copy_file(project, copy, fs::copy_options::overwrite_existing);
      TViewerRun run({copy.string()}, "many" + std::to_string(slides));
      if (!run.WaitLine("first frame shown")) return state.SkipWithError("no first frame");
      Sleep(12000);
      peak[i++] = run.PeakMegabytes();
    }
    state.counters["peak_mb_20"] = peak[0];
    state.counters["peak_mb_200"] = peak[1];
    state.counters["ratio"] = peak[0] > 0 ? peak[1] / peak[0] : 0;
  }
}
BENCHMARK(BM_PeakMemory_20_vs_200_Slides)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace vyr

int main(int argc, char** argv) {
  // The player needs a display: without one, run again under xvfb-run.
  if (!std::getenv("DISPLAY") && !std::getenv("VYR_BENCH_UNDER_XVFB")) {
    ::setenv("VYR_BENCH_UNDER_XVFB", "1", 1);
    std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                            const_cast<char*>("-s"), const_cast<char*>("-screen 0 1920x1080x24")};
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    args.push_back(self.data());
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    ::execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    return 1;
  }
  // The shows play silently on the system clock: the machine may have no sound device.
  ::setenv("VYR_AUDIO", "null", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// vyrviewer: plays packed slide shows in a window or full screen, or renders frames of a show
// to PNG files (--frame, --frames) and thumbnails for file managers (--thumbnail).

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "export_command.h"
#include "foundation/stream.h"
#include "frame_renderer.h"
#include "imaging/bitmap/png_file_queue.h"
#include "imaging/bitmap/png_writer.h"
#include "long_options.h"
#include "package/container/package_trailer.h"
#include "platform/log_banner.h"
#include "platform/open_file_limit.h"
#include "play_show.h"
#include "scene/video/video_playback.h"
#include "thumbnail_command.h"
#include "viewer/command_line.h"
#include "viewer/command_line_colour.h"
#include "viewer/command_line_log.h"
#include "viewer/dialogs/password_gate.h"

namespace vyr::viewer {
namespace {

constexpr int kExitTrouble = 2;

std::string Usage() {
  return std::string() +
         "usage: vyrviewer [--long-options] [SHOW] [-options]\n"
         "  (without --frame, --frames, --thumbnail, --export) play the show in its window\n"
         "  --fullscreen, --window           override the show's own window mode\n"
         "  --frame MS --out FILE.png        render the frame at show time MS\n"
         "  --frames FROM:TO:STEP --out DIR  render one PNG per step into DIR\n"
         "  --size WxH                       frame size (default: the show's own size)\n"
         "  --seed N                         reproducible default transitions\n"
         "  --no-panel                       leave the navigation panel out\n"
         "  --no-frame-reuse                 draw every slide afresh in every frame (--frame,\n"
         "                                   --frames, --export); slower, the same pixels\n"
         "  --thumbnail SIZE --out FILE.png  the first slide, its longer side SIZE pixels\n"
         "  --password-file FILE             the password of a protected show (first line);\n"
         "                                   else it is asked for on the terminal\n"
         "  --no-run                         start nothing a show asks for (programs, documents,\n"
         "                                   links, shows outside its folder)\n"
         "  --allow-run                      DANGEROUS: start whatever a show asks for without\n"
         "                                   asking; only for kiosks that trust every show they\n"
         "                                   play (a show runs programs as you)\n"
         "  --help, --version\n" +
         ExportUsage() +
         "SHOW is a package, an executable with a show appended or a project file; it is\n"
         "\"-filename\" or \"-exename\" when given, else the first value, else the show appended\n"
         "to this program. A program without a show is refused (status 2).\n"
         "The window opens through Wayland when WAYLAND_DISPLAY is set, else X11. While the\n"
         "show plays the screen stays awake, and the desktop's media controls steer it\n"
         "(MPRIS: org.mpris.MediaPlayer2.vyrviewer).\n";
}

}  // namespace

std::string ProgramPath(const char* argv0) {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(argv0) : self.string();
}

bool HasAppendedShow(const std::string& program) {
  TRef<TFileStream> file = TFileStream::TryOpen(program, TFileStream::Mode::Read);
  return file && ReadPackageTrailer(*file).status == TPackageTrailer::Status::Found;
}

namespace {

// "-filename" or "-exename", else the first positional value, else the program itself
// when a show is appended to it; empty when there is none.
std::string ShowPath(const TCommandsStorage& table, const std::string& program) {
  for (const char* option : {"filename", "exename"})
    if (auto value = table.OptionValue(option); value && !value->empty()) return *value;
  if (const TCommand* positional = table.Find(""); positional && !positional->items.empty())
    return positional->items.front().value;
  return HasAppendedShow(program) ? program : std::string();
}

bool Write(const TBitmap& frame, const std::string& path) {
  std::string error;
  if (WritePng(frame, path, error)) return true;
  std::fprintf(stderr, "vyrviewer: %s: %s\n", path.c_str(), error.c_str());
  return false;
}

std::string FrameName(double ms) {
  char name[64];
  std::snprintf(name, sizeof name, "frame_%08lld.png", static_cast<long long>(std::llround(ms)));
  return name;
}

// --frame, --frames, --thumbnail and --export, inside the log the command line asks for.
int RunHeadless(const TLongOptions& options, const std::string& program);

int Run(int argc, char** argv) {
  RaiseOpenFileLimit();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  TLongOptions options;
  try {
    options = TakeLongOptions(arguments);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "vyrviewer: %s\n%s", error.what(), Usage().c_str());
    return kExitTrouble;
  }
  if (options.help) {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("vyrviewer %s\n", VYRVIEWER_VERSION);
    return 0;
  }
  const bool exporting = !options.exportPath.empty();
  if (!options.frame && !options.frames && !options.thumbnail && !exporting)
    return PlayShow(options, ProgramPath(argv[0]));
  InstallProcessLog();
  const int status = RunHeadless(options, ProgramPath(argv[0]));
  WriteFooter();
  return status;
}

int RunHeadless(const TLongOptions& options, const std::string& program) {
  const bool exporting = !options.exportPath.empty();
  if (exporting && (options.frame || options.frames)) {
    std::fprintf(stderr, "vyrviewer: --export goes without --frame and --frames\n");
    return kExitTrouble;
  }
  if (options.out.empty() && !exporting) {
    std::fprintf(stderr, "vyrviewer: --out is missing\n");
    return kExitTrouble;
  }
  TCommandsStorage table;
  BuildCommands(options.rest, table);
  InstallColourOptions(table);
  const std::string show = ShowPath(table, program);
  if (show.empty()) {
    std::fprintf(stderr,
                 "vyrviewer: no show given and none appended to the program; name a package, "
                 "an executable show or a project file\n");
    return kExitTrouble;
  }
  if (options.thumbnail) return WriteThumbnail(show, *options.thumbnail, options.out, options.seed);
  TFrameRenderer renderer;
  if (std::string error =
          renderer.Open(show, options.width, options.height, options.seed, table.HasOption("cover"),
                        exporting ? !options.panel : options.noPanel, exporting);
      !error.empty()) {
    std::fprintf(stderr, "vyrviewer: %s: %s\n", show.c_str(), error.c_str());
    return kExitTrouble;
  }
  renderer.SetFrameReuse(options.frameReuse);
  // Frames never open a window: the password comes from the file or the terminal.
  TPasswordGateOptions gate;
  gate.passwordFile = options.passwordFile;
  if (const TPasswordGateResult verdict = PasswordGate(renderer.Project(), gate);
      !verdict.allowed) {
    std::fprintf(stderr, "vyrviewer: %s: %s\n", show.c_str(), verdict.refusal.c_str());
    return kExitTrouble;
  }
  if (exporting) return ExportCommand(options, renderer);
  if (options.frame) {
    TRef<TBitmap> frame = renderer.Render(*options.frame);
    if (!frame) {
      std::fprintf(stderr, "vyrviewer: the frame could not be drawn\n");
      return 1;
    }
    if (!Write(*frame, options.out)) return kExitTrouble;
    if (VideoWaitTimeoutCount() > 0) {
      // The last good frame was drawn instead of the one the time asks for.
      std::fprintf(stderr, "vyrviewer: a video frame was not decoded in time\n");
      return 1;
    }
    return 0;
  }
  std::error_code error;
  std::filesystem::create_directories(options.out, error);
  const TFrameRange range = *options.frames;
  // The files are written on other cores while the next frames are drawn.
  const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TPngFileQueue files(workers, 2 * workers, kFastPng);
  for (int step = 0;; ++step) {
    const double ms = range.from + step * range.step;
    if (ms > range.to) break;
    TRef<TBitmap> frame = renderer.Render(ms);
    if (!frame) {
      std::fprintf(stderr, "vyrviewer: the frame at %g ms could not be drawn\n", ms);
      return 1;
    }
    if (!files.Add(std::move(frame), (std::filesystem::path(options.out) / FrameName(ms)).string()))
      break;
  }
  if (const std::string failure = files.Finish(); !failure.empty()) {
    std::fprintf(stderr, "vyrviewer: %s\n", failure.c_str());
    return kExitTrouble;
  }
  return 0;
}

}  // namespace
}  // namespace vyr::viewer

int main(int argc, char** argv) {
  try {
    return vyr::viewer::Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vyrviewer: %s\n", error.what());
    return 1;
  }
}

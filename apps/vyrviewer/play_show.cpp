#include "play_show.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "audio/output/device_factory.h"
#include "foundation/log.h"
#include "package/container/program_file.h"
#include "platform/gtk/dialog_owner.h"
#include "platform/gtk/message_box.h"
#include "platform/log_banner.h"
#include "platform/process_paths.h"
#include "platform/sdl_gl_window.h"
#include "platform/wayland_probe.h"
#include "platform/x11_threads.h"
#include "viewer/command_line.h"
#include "viewer/command_line_colour.h"
#include "viewer/command_line_log.h"
#include "viewer/fatal_error.h"
#include "viewer/window/main_form.h"

namespace vyr::viewer {
namespace {

constexpr int kExitTrouble = 2;

bool EndsWithVyr(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".vyr";
}

// Where the show comes from: "-filename" (a project), "-exename" (a package), else a plain
// path (a ".vyr" file is a project, anything else a package), else this program's own show.
bool ChooseShow(const TCommandsStorage& table, const std::string& program, TMainFormOptions& form) {
  if (auto value = table.OptionValue("filename"); value && !value->empty()) {
    form.showPath = ResolveAgainstProgramFolder(*value);
    form.packaged = false;
    return true;
  }
  if (auto value = table.OptionValue("exename"); value && !value->empty()) {
    form.showPath = ResolveAgainstProgramFolder(*value);
    return true;
  }
  if (const TCommand* positional = table.Find("")) {
    for (const TCommandItem& item : positional->items) {
      if (item.value.empty() || item.value == "/s" || item.value == "/S") continue;
      form.showPath = std::filesystem::absolute(item.value).lexically_normal().string();
      form.packaged = !EndsWithVyr(item.value);
      return true;
    }
  }
  if (!HasAppendedShow(program)) return false;
  form.showPath = program;
  return true;
}

// The last command-line parameter as a window id, when it reads as one.
unsigned long StartupWindow(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) return 0;
  try {
    size_t used = 0;
    const unsigned long id = std::stoul(arguments.back(), &used, 10);
    return used == arguments.back().size() ? id : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// Wayland where a compositor is named, X11 otherwise; SDL_VIDEODRIVER wins over both. A
// Wayland driver that fails gives way to X11 when there is an X display too (XWayland).
// False when the Wayland driver fails and there is nothing else.
bool ChooseVideoDriver() {
  if (Named("SDL_VIDEODRIVER") || !Named("WAYLAND_DISPLAY")) return true;
  if (WaylandVideoStarts()) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland");
    return true;
  }
  if (!Named("DISPLAY")) return false;
  std::fprintf(stderr, "vyrviewer: SDL's Wayland driver fails on this compositor; using X11\n");
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  return true;
}

// Starts SDL's video on the desktop's display. Without X11 or Wayland SDL may still start a
// driver of its own (a bare console, an offscreen one): that is no display for a show, unless
// SDL_VIDEODRIVER asked for it. A display that is named but refuses the connection gets a few
// more tries: an X server that is starting, or resetting after its last client left, turns
// connections away for a moment. False with the driver SDL fell back to, if any.
bool OpenDesktopVideo(std::string& driver) {
  const bool named = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  // The screen saver is held off while the show plays, not from the start on (SDL's default).
  // SDL asks the desktop too (its own bus connection, besides ours): name the player there.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_APP_NAME, "VyrViewer");
  SDL_SetHint(SDL_HINT_SCREENSAVER_INHIBIT_ACTIVITY_NAME, "Playing a slide show");
  if (!ChooseVideoDriver()) {
    driver.clear();
    SDL_SetError("SDL's Wayland driver fails on this compositor, and no X display is named");
    return false;
  }
  for (int attempt = 0;; ++attempt) {
    driver.clear();
    if (SdlVideoInit()) {
      driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
      const bool desktop = driver == "x11" || driver == "wayland" || std::getenv("SDL_VIDEODRIVER");
      if (desktop && SDL_GetNumVideoDisplays() > 0) return true;
      SdlVideoQuit();
    }
    if (!named || attempt == 4) return false;
    SDL_Delay(200);
  }
}

int PlayInWindow(const TLongOptions& options, const std::string& program) {
  TCommandsStorage table;
  BuildCommands(options.rest, table);
  TMainFormOptions form;
  if (!ChooseShow(table, program, form)) {
    std::fprintf(stderr,
                 "vyrviewer: no show given and none appended to the program; name a package, "
                 "an executable show or a project file\n");
    return kExitTrouble;
  }
  if (form.packaged && IsProgramWithoutShow(form.showPath)) {
    const std::string text = form.showPath + ": a program without a show appended: nothing to play";
    std::fprintf(stderr, "vyrviewer: %s\n", text.c_str());
    if (DialogsAvailable()) ShowMessageBox("Slideshow Error", text);
    return kExitTrouble;
  }
  EnableX11Threads();
  std::string driver;
  if (!OpenDesktopVideo(driver)) {
    std::fprintf(
        stderr, "vyrviewer: no display: the show cannot be played (%s)\n",
        driver.empty() ? SDL_GetError() : ("no desktop display; SDL chose " + driver).c_str());
    return kExitTrouble;
  }
  struct TVideoGuard {
    ~TVideoGuard() { SdlVideoQuit(); }
  } videoGuard;
  const auto displays = SdlDisplays();
  if (displays.empty()) {
    std::fprintf(stderr, "vyrviewer: no display: the show cannot be played\n");
    return kExitTrouble;
  }
  if (displays.front().bitsPerPixel < 16) {
    const std::string text =
        "Currently you have 256 or 16 colors display mode.\nSet True color or High color "
        "display mode.";
    std::fprintf(stderr, "vyrviewer: Slideshow Error: %s\n", text.c_str());
    if (DialogsAvailable()) ShowMessageBox("Slideshow Error", text);
    return kExitTrouble;
  }
  InstallProcessLog();
  InstallColourOptions(table);

  form.start = StartPosition(table);
  form.startup = HasToken(options.rest, "-startup");
  form.screenSaverToken = HasToken(options.rest, "/s") || HasToken(options.rest, "/S");
  form.cover = table.HasOption("cover");
  form.desktopAlign = table.HasOption("desktopalign");
  form.resize = table.HasOption("resize");
  if (auto value = table.OptionValue("display")) {
    try {
      form.display = std::stoi(*value);
    } catch (const std::exception&) {
      form.display = 0;
    }
  }
  form.fullScreen = options.fullScreen;
  form.passwordFile = options.passwordFile;
  form.runPolicy = options.noRun      ? TRunPolicy::NoRun
                   : options.allowRun ? TRunPolicy::AllowAll
                                      : TRunPolicy::Ask;
  form.sourceOptions.screenSaver = IsScreenSaverProgram(program);
  // One seed for every source of the show, so the window's slide positions and the engine's
  // time line agree on the default transitions.
  form.sourceOptions.effectChoice.seed =
      options.seed ? *options.seed : static_cast<uint32_t>(std::random_device{}());
  form.audio = CreateWaveOutDeviceFromEnvironment();

  int status = 0;
  bool formExists = false;
  {
    TMainForm mainForm(form);
    switch (mainForm.Outcome()) {
      case TFormOutcome::Failed:
        status = kExitTrouble;
        break;
      case TFormOutcome::SilentlyClosed:
        break;
      case TFormOutcome::Running:
        formExists = true;
        mainForm.Run();
        status = mainForm.ExitCode();
        break;
    }
    try {
      mainForm.Free();
    } catch (const std::exception& error) {
      WriteLine(std::string("Exception at MainForm.Free (") + error.what() + ")");
    }
  }
  if (formExists && form.startup)
    if (const unsigned long window = StartupWindow(options.rest)) ActivateX11Window(window);
  form.audio = nullptr;
  WriteFooter();
  return status;
}

}  // namespace

int PlayShow(const TLongOptions& options, const std::string& program) {
  return RunReportingFailure([&] { return PlayInWindow(options, program); });
}

}  // namespace vyr::viewer

#include "viewer/window/main_form.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "audio/output/device_removal.h"
#include "foundation/log.h"
#include "foundation/utf.h"
#include "package/container/vyr_unpack.h"
#include "platform/clock.h"
#include "platform/desktop/mpris_service.h"
#include "platform/desktop/screen_saver_inhibitor.h"
#include "platform/desktop/session_bus.h"
#include "platform/gtk/dialog_owner.h"
#include "platform/gtk/message_box.h"
#include "platform/process_paths.h"
#include "platform/sdl_gl_window.h"
#include "platform/x11_threads.h"
#include "player/loader/show_frame_size.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "viewer/actions/show_key.h"
#include "viewer/actions/slide_positions.h"
#include "viewer/dialogs/password_check.h"
#include "viewer/dialogs/password_gate.h"
#include "viewer/input/sdl_keys.h"
#include "viewer/window/exclusive_mode.h"
#include "viewer/window/screen_saver.h"
#include "viewer/window/window_placement.h"

namespace vyr {
namespace {

constexpr const char* kDefaultCaption = "VyrViewer v5.6";
// Longer titles serve nobody, and a title of megabytes makes the X server refuse the window.
constexpr size_t kMaxCaptionLength = 1024;

std::string Caption(const TIniFile* project) {
  return std::string(
      Utf8Prefix(ReadText(project, "Main", "opt_scr_caption", kDefaultCaption), kMaxCaptionLength));
}

bool ReadMainBool(const TIniFile* project, const char* key, bool fallback) {
  return ReadBool(project, "Main", key, fallback);
}

}  // namespace

TMainForm::TMainForm(TMainFormOptions options) : options_(std::move(options)) {
  if (!options_.starter) options_.starter = std::make_shared<TSystemStarter>();
  consent_ = std::make_unique<TConsentGate>(
      options_.runPolicy, TConsentStore(TConsentStore::DefaultPath()),
      [this](const TConsentSubject& subject, const TShowTrust& show) {
        return AskViewer(subject, show);
      },
      [this](const std::string& line) { LogLine(line); });
  wakeEvent_ = SDL_RegisterEvents(1);
  bus_.SetWaker([this] {
    if (wakeEvent_ == static_cast<uint32_t>(-1)) return;
    SDL_Event event{};
    event.type = wakeEvent_;
    SDL_PushEvent(&event);
  });
  viewer_ = std::make_unique<TVyrShowViewer>([this] { return CreateEngine(); });
  SetDialogEventPump([this] { PumpEvents(); });
  TVyrShowViewer::TCallbacks callbacks;
  callbacks.position = [this](int32_t time, bool ended) { PositionReported(time, ended); };
  callbacks.action = [this](const TVyrActionInfo& action) { ActionRequested(action); };
  callbacks.picture = [this](TRef<TBitmap> picture) { Print(std::move(picture)); };
  callbacks.windowMode = [this](int width, int height, int mode) {
    ApplyWindowMode(width, height, mode);
    SendBounds();
  };
  callbacks.seeked = [this](int32_t time) { MediaSeeked(time); };
  viewer_->SetCallbacks(callbacks);
  monitor_.onCursorUpdate = [this] { UpdateCursor(); };
  monitor_.onHiddenChanged = [this](bool hidden) { HiddenChanged(hidden); };
  monitor_.onLeave = [this] { viewer_->Mouse(0, kPointerOutside, kPointerOutside, 0, 0); };
  if (!options_.packaged) projectFilePath_ = options_.showPath;
  bool opened = false;
  try {
    opened = OpenShowFile(options_.showPath, options_.packaged, options_.start.isTime, true,
                          options_.start.value);
  } catch (...) {
    // No destructor runs for a form whose constructor raises: the dialogs' event pump and the
    // engine must not outlive it.
    Free();
    throw;
  }
  if (!opened) {
    if (outcome_ == TFormOutcome::Running) outcome_ = TFormOutcome::Failed;
    return;
  }
  firstVersion_ = current_->version;
  viewer_->SetPaused(false);
  creationTick_ = TickCount();
  StartDesktop();
}

TMainForm::~TMainForm() {
  try {
    Free();
  } catch (...) {
    // Free's caller has had its chance to hear of it; a destructor stays quiet.
  }
}

void TMainForm::Free() {
  if (freed_) return;
  freed_ = true;
  SetDialogEventPump({});
  viewer_->Disconnect();
  viewer_->StopEngine();
  bus_.SetWaker({});
  if (handCursor_) SDL_FreeCursor(handCursor_);
  if (arrowCursor_) SDL_FreeCursor(arrowCursor_);
  handCursor_ = arrowCursor_ = nullptr;
  StopDesktop();
  LeaveScreenSaverModes();
}

void TMainForm::Message(const std::string& text, const std::string& caption) {
  // The terminal gets the message too: a box may be gone before anyone reads it.
  std::fprintf(stderr, "vyrviewer: %s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ",
               MessageLines(text).c_str());
  if (!DialogsAvailable()) return;
  ++modalCount_;
  ShowMessageBox(caption, MessageLines(text), TDialogOwner{NativeWindow()});
  --modalCount_;
}

bool TMainForm::CheckPassword(const TVyrShowLocator& show, const std::string& path) {
  // GTK starts only for a show that asks: starting it costs the start of every other show.
  if (!ShowNeedsPassword(show.show.project.Get())) return true;
  TPasswordGateOptions gate;
  gate.useDialog = DialogsAvailable();
  gate.owner = TDialogOwner{NativeWindow()};
  gate.passwordFile = options_.passwordFile;
  ++modalCount_;
  const TPasswordGateResult verdict = PasswordGate(show.show.project.Get(), gate);
  --modalCount_;
  if (!verdict.allowed)
    std::fprintf(stderr, "vyrviewer: %s: %s\n", path.c_str(),
                 verdict.refusal.empty() ? "the password was refused" : verdict.refusal.c_str());
  return verdict.allowed;
}

unsigned long TMainForm::NativeWindow() const {
  return device_ ? X11WindowOf(device_->Window().Handle()) : 0;
}

void TMainForm::PumpEvents() {
  SDL_Event event;
  while (!terminated_ && SDL_PollEvent(&event)) HandleEvent(event);
  bus_.Dispatch();
}

// ---- opening ----

bool TMainForm::OpenShowFile(const std::string& path, bool packaged, bool isTime,
                             bool checkPassword, int start) {
  const bool wasRunning = !viewer_->Paused();
  if (wasRunning) viewer_->SetPaused(true);
  auto located = std::make_unique<TVyrShowLocator>();
  std::string message;
  if (!LocateShow(path, packaged, *located, message, &exeAlias_)) {
    Message(message);
    if (wasRunning) viewer_->SetPaused(false);
    return false;
  }
  auto source = MakeRef<TVyrSource>(located->show.project, options_.sourceOptions);
  if (const std::string problem = ShowFrameSizeProblem(*source); !problem.empty()) {
    Message(path + ": " + problem);
    if (wasRunning) viewer_->SetPaused(false);
    return false;
  }
  if (checkPassword && !CheckPassword(*located, path)) {
    if (wasRunning) viewer_->SetPaused(false);
    return false;
  }
  current_ = std::move(located);
  source_ = source;
  const TIniFile* project = current_->show.project.Get();
  ApplyExclusiveModeHook(project);
  mapping_ = std::make_unique<TInputMappingClass>(project);
  wheelNavigation_ = !ReadMainBool(project, "opt_lockwheel", false);
  const int hide = ReadInt(project, "Main", "opt_hidecursor", 0);
  if (!EnterScreenSaverModes(source_->ScreenSaver(), options_.screenSaverToken)) {
    outcome_ = TFormOutcome::SilentlyClosed;
    return false;
  }
  if (!viewer_->Open(current_->show.accessor, current_->show.project, 0)) {
    Message("No display: the show's window cannot be opened");
    return false;
  }
  if (device_) {
    SDL_SetWindowTitle(device_->Window().Handle(), Caption(project).c_str());
  }
  monitor_.SetHideInterval(
      hide == 2 ? int64_t{ReadInt(project, "Main", "opt_hc2_hideinterval", 0)} * 1000 : 0);
  monitor_.Reset(hide == 1 || hide == 2, 0, 0, TickCount());
  if (isTime || start > 0) viewer_->Seek(isTime ? start : SlideStartPosition(*source_, start));
  // A project made for an executable stands for it: a return to this show names the
  // executable, which opens the project again.
  currentShowFile_ = path;
  const std::string exeName = ExeNameOf(project);
  if (!current_->packaged && !exeName.empty()) {
    currentShowFile_ = exeName;
    exeAlias_ = {exeName, current_->path};
  }
  currentShowFolder_ =
      current_->packaged ? std::string(FolderOf(std::filesystem::absolute(current_->path).string()))
                         : ProjectShowFolder(current_->path, exeName);
  TShowTrust trust;
  trust.key = ShowKeyOf(current_->path, current_->packaged);
  trust.name = std::string(FileNameOf(current_->path));
  trust.folder = currentShowFolder_;
  std::error_code error;
  trust.selfPlaying =
      current_->packaged && std::filesystem::equivalent(current_->path, ProgramPath(), error);
  consent_->SetShow(std::move(trust));
  playedShows_.push_back(std::filesystem::weakly_canonical(current_->path, error).string());
  if (wasRunning) viewer_->SetPaused(false);
  return true;
}

TRef<TVyrEngine> TMainForm::CreateEngine() {
  const TIniFile* project = current_->show.project.Get();
  device_ = TWindowDrawDevice::Create(Caption(project), TIntRect{0, 0, 640, 480}, true);
  if (!device_) return nullptr;
  SDL_Window* window = device_->Window().Handle();
  if (options_.startup) SDL_SetWindowAlwaysOnTop(window, SDL_TRUE);
  handCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
  arrowCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  const bool full = ReadInt(project, "Main", "opt_scr_full", 0) == 1;
  const int mode = full                                               ? kModeFullScreen
                   : ReadMainBool(project, "opt_withoutborder", true) ? kModeBorderless
                                                                      : kModeBordered;
  ApplyWindowMode(ReadInt(project, "Main", "opt_scr_width", 640),
                  ReadInt(project, "Main", "opt_scr_height", 480), mode);
  // The show's background colour from the moment the window maps: the slides take a while.
  device_->Window().SetBackgroundColour(source_->BackgroundRgb());
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);
  // Until the engine thread runs, the device is the main thread's to set.
  device_->SyncBounds();

  TEngineSettings settings;
  settings.paused = true;
  settings.audio = options_.audio;
  settings.cover = options_.cover;
  settings.sourceOptions = options_.sourceOptions;
  const TIntRect area = WorkArea();
  settings.screenSize = TIntSize{area.Width(), area.Height()};
  auto engine = MakeRef<TVyrEngine>(&bus_, device_, settings);
  engine->SetWindowActive((SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0);
  return engine;
}

TIntRect TMainForm::WorkArea() const {
  const std::vector<TDisplayInfo> displays = SdlDisplays();
  if (displays.empty()) return TIntRect{0, 0, 1920, 1080};
  if (options_.desktopAlign) {
    TIntRect all{displays[0].left, displays[0].top, displays[0].right, displays[0].bottom};
    for (const auto& d : displays) {
      all.left = std::min(all.left, d.left);
      all.top = std::min(all.top, d.top);
      all.right = std::max(all.right, d.right);
      all.bottom = std::max(all.bottom, d.bottom);
    }
    return all;
  }
  // A monitor number outside the monitors means the primary one.
  const size_t index =
      options_.display >= 1 && static_cast<size_t>(options_.display) <= displays.size()
          ? static_cast<size_t>(options_.display - 1)
          : 0;
  const TDisplayInfo& d = displays[index];
  return TIntRect{d.left, d.top, d.right, d.bottom};
}

void TMainForm::ApplyWindowMode(int width, int height, int mode) {
  if (!device_) return;
  if (options_.fullScreen) {
    if (*options_.fullScreen)
      mode = kModeFullScreen;
    else if (mode == kModeFullScreen)
      mode = kModeBordered;
  }
  SDL_Window* window = device_->Window().Handle();
  const bool bordered = mode == kModeBordered;
  SDL_SetWindowBordered(window, bordered ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowResizable(window, bordered && options_.resize ? SDL_TRUE : SDL_FALSE);
  int top = 0, left = 0, bottom = 0, right = 0;
  if (bordered) SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right);
  const TIntRect area = WorkArea();
  const TWindowPlacement placement =
      PlaceShowWindow(width, height, mode, area, left + right, top + bottom);
  if (mode == kModeFullScreen) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowPosition(window, area.left, area.top);
    SDL_SetWindowSize(window, area.Width(), area.Height());
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowSize(window, placement.clientWidth, placement.clientHeight);
    SDL_SetWindowPosition(window, placement.outer.left + left, placement.outer.top + top);
  }
}

void TMainForm::SendBounds() {
  if (!device_ || !viewer_->Engine()) return;
  SDL_Window* window = device_->Window().Handle();
  int left = 0, top = 0, width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_GetWindowPosition(window, &left, &top);
  SDL_GetWindowSize(window, &width, &height);
  SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
  TWindowBounds bounds;
  bounds.bounds = TIntRect{left, top, left + width, top + height};
  bounds.clientWidth = drawableWidth;
  bounds.clientHeight = drawableHeight;
  bounds.fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
  viewer_->Engine()->SetWindowBounds(bounds);
}

// ---- the loop ----

void TMainForm::Run() {
  if (outcome_ != TFormOutcome::Running) return;
  while (!terminated_) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 20)) {
      HandleEvent(event);
      while (!terminated_ && SDL_PollEvent(&event)) HandleEvent(event);
    }
    bus_.Dispatch();
    monitor_.Tick(TickCount());
    UpdateDesktop();
  }
}

void TMainForm::Close() {
  if (CloseQuery()) terminated_ = true;
}

bool TMainForm::CloseQuery() {
  if (closing_ || modalCount_ > 0) return false;
  closing_ = true;
  if (!current_) {
    closing_ = false;
    return true;
  }
  const TIniFile* project = current_->show.project.Get();
  int run = ReadInt(project, "Main", "opt_runapponexit", 0);
  if (ReadMainBool(project, "opt_runapponexitiflastslide", true) && !endReached_) run = 0;
  if (!closeRequested_) run = 0;
  const bool wasRequested = closeRequested_;
  endReached_ = closeRequested_ = false;
  bool stays = false;
  if (run > 0) {
    const std::string text = ReadText(project, "Main", "opt_runapponexitfn", "");
    const bool done = PerformAction(
        {run == 1 ? TVyrActionKind::RunApp : TVyrActionKind::RunPresentation, 0, text});
    stays = !text.empty() && done && run == 2;
  } else if (wasRequested && !runStack_.empty()) {
    const TRunStackItem item = runStack_.back();
    runStack_.pop_back();
    TStartPosition start{std::max(item.slide - 1, 0), false};
    // The shows on the run stack were played before: the same check as any other show passes.
    stays = MayOpenShow(item.path) &&
            OpenShowWithReturn(item.path, item.path != projectFilePath_, start, std::nullopt);
  }
  if (stays) {
    closing_ = false;
    return false;
  }
  viewer_->Disconnect();
  viewer_->StopEngine();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  closing_ = false;
  return true;
}

void TMainForm::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      if (CompositorLost(Window())) {
        // Nothing is left to show the show on.
        std::fprintf(stderr, "vyrviewer: the Wayland compositor went away; the show ends\n");
        WriteLine("Wayland compositor lost");
        exitCode_ = 2;
      }
      Close();
      return;
    case SDL_AUDIODEVICEREMOVED:
      if (!event.adevice.iscapture)
        if (auto* device = dynamic_cast<TSoftWaveOutDevice*>(options_.audio.Get()))
          FallBackAfterDeviceRemoval(*device);
      return;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          Close();
          return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
          if (viewer_->Engine())
            viewer_->Engine()->SetWindowActive(event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
          return;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_EXPOSED:
          SendBounds();
          return;
        case SDL_WINDOWEVENT_LEAVE:
          monitor_.SetInside(false);
          return;
        default:
          return;
      }
    case SDL_KEYDOWN:
      KeyDown(VirtualKeyOf(event.key.keysym.sym),
              ShiftStateOf(event.key.keysym.mod, SDL_GetMouseState(nullptr, nullptr)));
      return;
    case SDL_MOUSEMOTION: {
      int x = event.motion.x, y = event.motion.y;
      ScalePointer(x, y);
      MouseEvent(TPointerEventType::Move, x, y, TPointerButton::None,
                 ShiftStateOf(SDL_GetModState(), event.motion.state));
      return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const TPointerButton button =
          event.button.button == SDL_BUTTON_LEFT     ? TPointerButton::Left
          : event.button.button == SDL_BUTTON_RIGHT  ? TPointerButton::Right
          : event.button.button == SDL_BUTTON_MIDDLE ? TPointerButton::Middle
                                                     : TPointerButton::None;
      if (button == TPointerButton::None) return;
      int x = event.button.x, y = event.button.y;
      ScalePointer(x, y);
      const uint8_t shift = ShiftStateOf(SDL_GetModState(), SDL_GetMouseState(nullptr, nullptr));
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      MouseEvent(down ? TPointerEventType::ButtonDown : TPointerEventType::ButtonUp, x, y, button,
                 shift);
      if (down && event.button.clicks == 2)
        MouseEvent(TPointerEventType::DoubleClick, x, y, button, shift);
      return;
    }
    case SDL_MOUSEWHEEL: {
      float notches = event.wheel.preciseY;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      Wheel(notches, ShiftStateOf(SDL_GetModState(), 0));
      return;
    }
    default:
      return;
  }
}

void TMainForm::ScalePointer(int& x, int& y) const {
  if (!device_) return;
  SDL_Window* window = device_->Window().Handle();
  int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_GetWindowSize(window, &width, &height);
  SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
  if (width > 0 && drawableWidth != width) x = x * drawableWidth / width;
  if (height > 0 && drawableHeight != height) y = y * drawableHeight / height;
}

}  // namespace vyr

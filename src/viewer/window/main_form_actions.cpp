// The main window's input handlers and the actions it performs.

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "foundation/log.h"
#include "package/container/vyr_unpack.h"
#include "platform/clock.h"
#include "platform/gtk/dialog_owner.h"
#include "platform/process_paths.h"
#include "project/ini/values.h"
#include "viewer/actions/slide_positions.h"
#include "viewer/dialogs/consent_dialog.h"
#include "viewer/dialogs/print_dialog.h"
#include "viewer/input/sdl_keys.h"
#include "viewer/window/main_form.h"

namespace vyr {
namespace {

// Keys that let a show waiting at a pause point go on even when navigation is off.
bool ContinuesWaiting(int key) {
  switch (key) {
    case kVkPause:
    case kVkSpace:
    case kVkNext:
    case kVkRight:
    case kVkBrowserForward:
    case kVkMediaNextTrack:
    case kVkMediaPlayPause:
      return true;
    default:
      return false;
  }
}

}  // namespace

int TMainForm::CurrentSlide() const { return source_ ? source_->SlideAt(viewer_->Position()) : 0; }

void TMainForm::KeyDown(int virtualKey, uint8_t shift) {
  if (modalCount_ > 0 || !mapping_) return;
  if (options_.startup && virtualKey == kVkReturn) {
    PerformAction({TVyrActionKind::CloseDialog, 0, {}});
    return;
  }
  TVyrEngine* engine = viewer_->Engine();
  if (engine && engine->IsDialogShown()) {
    if (virtualKey == kVkEscape) viewer_->CloseDialog();
    if (virtualKey != kVkF1) return;
  }
  if (auto binding = mapping_->Key(shift, virtualKey, kKeyPress); binding && !binding->Empty()) {
    if (binding->kind == TVyrActionKind::Help)
      viewer_->ShowHelp();
    else
      PerformAction(*binding);
  }
  // The action may have stopped the engine (Escape closes the window) or opened another show.
  engine = viewer_->Engine();
  if (mapping_ && !mapping_->NavigationAllowed() && engine && engine->WaitingAtBarrier() &&
      ContinuesWaiting(virtualKey))
    engine->ClearWaitingAtBarrier();
}

void TMainForm::MouseEvent(TPointerEventType type, int x, int y, TPointerButton button,
                           uint8_t shift) {
  if (modalCount_ > 0 || !mapping_ || TickCount() - creationTick_ < 1000) return;
  monitor_.Moved(x, y, TickCount());
  const TVyrActionInfo action = mapping_->Mouse(type, x, y, shift, button);
  if (!monitor_.Hidden() || action.kind == TVyrActionKind::Help) {
    viewer_->Mouse(shift, x, y, static_cast<int32_t>(button), static_cast<uint8_t>(type), action);
  } else if (!action.Empty()) {
    PerformAction(action);
  }
}

void TMainForm::Wheel(float precise, uint8_t shift) {
  if (modalCount_ > 0 || !wheelNavigation_ || !source_) return;
  // Precise steps add up to whole notches.
  wheelRest_ += precise;
  const int notches = static_cast<int>(wheelRest_);
  wheelRest_ -= static_cast<float>(notches);
  if (notches == 0) return;
  const int32_t position = viewer_->Position();
  const uint8_t modifiers = shift & kBindingShiftMask;
  if (modifiers == kShiftCtrl) {
    viewer_->Seek(notches < 0 ? NextSlidePosition(*source_, position, viewer_->Paused())
                              : PreviousSlidePosition(*source_, position));
  } else if (modifiers == 0) {
    viewer_->Seek(position - 700 * notches);  // before the start: ignored
  }
}

void TMainForm::UpdateCursor() {
  TVyrEngine* engine = viewer_->Engine();
  if (!engine || monitor_.Hidden()) return;
  const bool hand = engine->Hovering() && engine->HoveredClassName() != "TVyrButton";
  SDL_SetCursor(hand ? handCursor_ : arrowCursor_);
}

void TMainForm::HiddenChanged(bool hidden) {
  TVyrEngine* engine = viewer_->Engine();
  const bool overPanel = engine && engine->HoveredClassName() == "NavPanel";
  SDL_ShowCursor(hidden && !overPanel ? SDL_DISABLE : SDL_ENABLE);
  if (!hidden) SDL_SetCursor(arrowCursor_);
}

void TMainForm::PositionReported(int32_t /*time*/, bool ended) {
  if (!ended || closing_ || !source_ || source_->RepeatMode() != TRepeatMode::Close) return;
  endReached_ = closeRequested_ = true;
  Close();
}

void TMainForm::ActionRequested(const TVyrActionInfo& action) {
  // A second action arriving while one is performed is dropped.
  if (inAction_) return;
  inAction_ = true;
  PerformAction(action);
  inAction_ = false;
}

void TMainForm::Print(TRef<TBitmap> picture) {
  if (!picture || !source_ || source_->SlideCount() <= 0) return;
  const bool wasPaused = viewer_->Paused();
  viewer_->SetPaused(true);
  const int slide = CurrentSlide() % source_->SlideCount();
  ++modalCount_;
  PrintSlide(TDialogOwner{NativeWindow()}, current_->show.project, current_->show.accessor, slide,
             picture);
  --modalCount_;
  viewer_->SetPaused(wasPaused);
}

bool TMainForm::RunProgram(const std::string& text) {
  // A show window kept on top ("-startup") lets the started program come up in front of it.
  class TWindowOwner : public TProgramOwner {
   public:
    explicit TWindowOwner(SDL_Window* window) : window_(window) {}
    bool Topmost() const override {
      return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_ALWAYS_ON_TOP) != 0;
    }
    void SetTopmost(bool topmost) override {
      SDL_SetWindowAlwaysOnTop(window_, topmost ? SDL_TRUE : SDL_FALSE);
    }

   private:
    SDL_Window* window_;
  } owner(Window());
  TRunHooks hooks;
  hooks.refuse = [this](const std::string& message) { Message(message, ""); };
  hooks.allow = [this](const TLaunch& launch) { return consent_->Allow(SubjectOf(launch)); };
  hooks.log = [this](const std::string& line) { LogLine(line); };
  hooks.owner = &owner;
  // Relative names are the show's: they resolve against its folder.
  return RunCommands(text, currentShowFolder_, *options_.starter, hooks);
}

std::optional<TConsentAnswer> TMainForm::AskViewer(const TConsentSubject& subject,
                                                   const TShowTrust& show) {
  if (!DialogsAvailable()) return std::nullopt;
  // The show waits for the answer.
  const bool wasPaused = viewer_->Paused();
  viewer_->SetPaused(true);
  ++modalCount_;
  const TConsentAnswer answer = AskConsent(subject, show.name, TDialogOwner{NativeWindow()});
  --modalCount_;
  viewer_->SetPaused(wasPaused);
  return answer;
}

bool TMainForm::MayOpenShow(const std::string& path) {
  std::error_code error;
  // A project's executable stands for the project.
  const std::string full =
      std::filesystem::weakly_canonical(MapShowFileName(path, &exeAlias_), error).string();
  if (!error && std::find(playedShows_.begin(), playedShows_.end(), full) != playedShows_.end())
    return true;
  return consent_->Allow(ShowSubject(error ? path : full));
}

void TMainForm::LogLine(const std::string& line) {
  std::fprintf(stderr, "vyrviewer: %s\n", line.c_str());
  WriteLine(line);
}

bool TMainForm::PerformAction(const TVyrActionInfo& action) {
  using K = TVyrActionKind;
  if (modalCount_ > 0 || !viewer_ || !source_) return false;
  TVyrEngine* engine = viewer_->Engine();
  const bool waiting = engine && engine->WaitingAtBarrier();
  const int32_t position = viewer_->Position();
  switch (action.kind) {
    case K::Exit:
      closeRequested_ = true;
      Close();
      return true;
    case K::PrevSlide:
      viewer_->Seek(PreviousSlidePosition(*source_, position));
      return true;
    case K::NextSlide:
      if (waiting)
        engine->ClearWaitingAtBarrier();
      else
        viewer_->Seek(NextSlidePosition(*source_, position, viewer_->Paused()));
      return true;
    case K::Pause:
      if (waiting)
        engine->ClearWaitingAtBarrier();
      else
        viewer_->SetPaused(!viewer_->Paused());
      return true;
    case K::Print:
      viewer_->CapturePicture();
      return true;
    case K::GotoSlide: {
      int index =
          action.parameter == -1 ? SlideIndexById(*source_, action.text) : action.parameter - 1;
      if (index < 0) index = 0;
      viewer_->Seek(SlideStartPosition(*source_, index));
      return true;
    }
    case K::OpenWebsite: {
      const std::string& t = action.text;
      const bool prefixed = t.rfind("http://", 0) == 0 || t.rfind("https://", 0) == 0;
      return RunProgram(prefixed ? t : "http://" + t);
    }
    case K::WriteEmail:
      return RunProgram(action.text.rfind("mailto:", 0) == 0 ? action.text
                                                             : "mailto:" + action.text);
    case K::RunApp:
      return RunProgram(action.text);
    case K::RunAppAndExit:
      closeRequested_ = true;
      Close();
      return RunProgram(action.text);
    case K::RunPresentation:
    case K::RunPresentationAndReturn:
      return OpenAnotherShow(action);
    case K::Stop:
      viewer_->SetPaused(true);
      viewer_->Seek(0);
      stopped_ = true;  // until the show plays again
      return true;
    case K::CloseDialog:
      closeRequested_ = true;
      exitCode_ = 1;
      Close();
      return true;
    case K::Seek:
      viewer_->Seek(action.parameter);
      return true;
    default:
      return false;
  }
}

bool TMainForm::OpenAnotherShow(const TVyrActionInfo& action) {
  std::vector<std::string> tokens;
  TCommandsStorage table;
  ParseCommandLine(action.text, tokens, table);
  const TCommand* positional = table.Find("");
  if (!positional || positional->items.empty()) return false;
  std::string requested = positional->items.front().value;
  if (requested.empty()) return false;
  // Project texts written on Windows separate folders with "\".
  std::replace(requested.begin(), requested.end(), '\\', '/');
  std::error_code ignored;  // a name the file system cannot take is a file that is not there
  // The executable a project was opened for stands for that project; any other relative name
  // is the current show's, taken from its folder and never from the working folder.
  std::string file = MapShowFileName(requested, &exeAlias_);
  const bool aliased = !exeAlias_.exeName.empty() && file == exeAlias_.projectPath;
  if (!aliased && requested.front() != '/' && !currentShowFolder_.empty())
    file = MapShowFileName(currentShowFolder_ + requested, &exeAlias_);
  // A name that is not where it says is looked for beside the current show (for a project made
  // for an executable, where that executable was meant to be first).
  if (current_ && !std::filesystem::exists(file, ignored)) {
    const std::string exeName = ExeNameOf(current_->show.project.Get());
    if (std::string found =
            FindShowBesideCurrent(requested, exeName, currentShowFolder_, &exeAlias_);
        !found.empty())
      file = std::move(found);
  }
  if (file != projectFilePath_) {
    std::string version;
    if (!TVyrUnpack::PackageVersion(file, version)) {
      Message(std::filesystem::exists(file, ignored)
                  ? "Not VyrShow Executable File or File Corrupted:\r" + file
                  : "VyrShow File not Found:\r" + file);
      return false;
    }
    if (version != firstVersion_) {
      Message("VyrShow ExeFile Version Mismatch:\r" + file);
      return false;
    }
  }
  if (!MayOpenShow(file)) return false;
  WriteLine("Open show: " + file);
  std::optional<TRunStackItem> entry;
  if (action.kind == TVyrActionKind::RunPresentationAndReturn)
    entry = TRunStackItem{currentShowFile_, CurrentSlide() + 1};
  return OpenShowWithReturn(file, file != projectFilePath_, StartPosition(table), entry);
}

bool TMainForm::OpenShowWithReturn(const std::string& file, bool packaged, TStartPosition start,
                                   std::optional<TRunStackItem> entry) {
  const bool wasPaused = viewer_->Paused();
  if (OpenShowFile(file, packaged, start.isTime, true, start.value)) {
    if (entry) runStack_.push_back(*entry);
    viewer_->SetPaused(false);
    return true;
  }
  if (entry) {
    viewer_->SetPaused(wasPaused);
  } else {
    closeRequested_ = true;
    Close();
  }
  return false;
}

}  // namespace vyr

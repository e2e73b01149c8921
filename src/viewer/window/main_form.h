#pragma once
// The player's one window: it opens the show, sizes itself for it, hides the pointer when
// asked, passes input to the engine and performs the actions that come back, and decides
// what closing means (a program on exit, a return to a previous show). It never draws: the
// engine draws on the window's device from its own thread.

#include <SDL2/SDL.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/output/wave_out.h"
#include "platform/event_bus.h"
#include "render/device/window_draw_device.h"
#include "viewer/actions/consent.h"
#include "viewer/actions/run_commands.h"
#include "viewer/command_line.h"
#include "viewer/input/input_mapping.h"
#include "viewer/window/mouse_monitor.h"
#include "viewer/window/show_locator.h"
#include "viewer/window/show_viewer.h"

namespace vyr {

class TSessionBus;
class TScreenSaverInhibitor;
class TMprisService;
struct TMprisRequest;

struct TMainFormOptions {
  std::string showPath;  // resolved; empty: nothing to open
  bool packaged = true;  // a package, else a project file
  TStartPosition start;
  bool startup = false;  // "-startup"
  bool cover = false;
  bool desktopAlign = false;
  bool resize = false;
  int display = 0;                 // 1-based monitor; 0 or out of range: the primary one
  std::optional<bool> fullScreen;  // --fullscreen / --window
  bool screenSaverToken = false;   // "/s" or "/S"
  TVyrSourceOptions sourceOptions;
  TRef<TWaveOutDevice> audio;
  std::string passwordFile;  // the password of a protected show, on its first line
  std::shared_ptr<TProgramStarter> starter;
  // Whether what a show asks to start is asked about (--allow-run, --no-run).
  TRunPolicy runPolicy = TRunPolicy::Ask;
};

enum class TFormOutcome { Running, Failed, SilentlyClosed };

class TMainForm {
 public:
  explicit TMainForm(TMainFormOptions options);
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // Stops the engine and lets go of the window's resources; may raise. The destructor calls
  // it when nobody did.
  void Free();

  TFormOutcome Outcome() const { return outcome_; }
  // The message loop; returns when the window has closed.
  void Run();
  int ExitCode() const { return exitCode_; }
  SDL_Window* Window() const { return device_ ? device_->Window().Handle() : nullptr; }
  // The window as the windowing system knows it (the dialogs' owner); 0 before it exists.
  unsigned long NativeWindow() const;
  // Handles the window's pending events and the engine's; input is ignored while a dialog
  // of the viewer runs (the dialogs call this to keep the window alive).
  void PumpEvents();

  bool OpenShowFile(const std::string& path, bool packaged, bool isTime, bool checkPassword,
                    int start);
  bool PerformAction(const TVyrActionInfo& action);
  bool CloseQuery();
  void Close();

 private:
  struct TRunStackItem {
    std::string path;
    int slide = 1;  // 1-based
  };

  TRef<TVyrEngine> CreateEngine();
  void ApplyWindowMode(int width, int height, int mode);
  TIntRect WorkArea() const;
  void SendBounds();
  void HandleEvent(const SDL_Event& event);
  void KeyDown(int virtualKey, uint8_t shift);
  void MouseEvent(TPointerEventType type, int x, int y, TPointerButton button, uint8_t shift);
  void Wheel(float precise, uint8_t shift);
  void UpdateCursor();
  void HiddenChanged(bool hidden);
  void PositionReported(int32_t time, bool ended);
  void ActionRequested(const TVyrActionInfo& action);
  void Print(TRef<TBitmap> picture);
  bool RunProgram(const std::string& text);
  std::optional<TConsentAnswer> AskViewer(const TConsentSubject& subject, const TShowTrust& show);
  // Another show may open: one played in this run, or one the consent gate allows.
  bool MayOpenShow(const std::string& path);
  void LogLine(const std::string& line);
  bool OpenAnotherShow(const TVyrActionInfo& action);
  bool OpenShowWithReturn(const std::string& file, bool packaged, TStartPosition start,
                          std::optional<TRunStackItem> entry);
  void Message(const std::string& text, const std::string& caption = "Slideshow Error");
  bool CheckPassword(const TVyrShowLocator& show, const std::string& path);
  void ScalePointer(int& x, int& y) const;
  int CurrentSlide() const;
  // The desktop's session bus: media controls and screen-saver inhibition.
  void StartDesktop();
  void StopDesktop();
  void UpdateDesktop();
  void MediaSeeked(int32_t time);
  void MediaRequest(const TMprisRequest& request);

  TMainFormOptions options_;
  TEventBus bus_;
  uint32_t wakeEvent_ = 0;
  TRef<TWindowDrawDevice> device_;
  std::unique_ptr<TVyrShowViewer> viewer_;
  TMouseMonitor monitor_;
  std::unique_ptr<TInputMappingClass> mapping_;
  std::unique_ptr<TVyrShowLocator> current_;
  TRef<TVyrSource> source_;  // the current show's time line for slide positions
  bool wheelNavigation_ = true;
  std::string projectFilePath_;
  std::string currentShowFile_;
  std::string currentShowFolder_;  // ends in "/"
  TExeAlias exeAlias_;
  std::string firstVersion_;
  bool endReached_ = false, closeRequested_ = false, inAction_ = false;
  bool closing_ = false;
  bool terminated_ = false;
  int modalCount_ = 0;
  int64_t creationTick_ = 0;
  std::vector<TRunStackItem> runStack_;
  std::unique_ptr<TConsentGate> consent_;
  std::vector<std::string> playedShows_;  // full paths
  TFormOutcome outcome_ = TFormOutcome::Running;
  int exitCode_ = 0;
  float wheelRest_ = 0;
  SDL_Cursor* handCursor_ = nullptr;
  SDL_Cursor* arrowCursor_ = nullptr;
  bool stopped_ = false;  // the stop action: at 0 and paused until played again
  bool freed_ = false;
  std::unique_ptr<TSessionBus> sessionBus_;
  std::unique_ptr<TScreenSaverInhibitor> inhibitor_;
  std::unique_ptr<TMprisService> mpris_;
};

}  // namespace vyr

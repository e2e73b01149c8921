#pragma once
// The playback engine: one worker thread that owns the running show (its source, slide
// loader, music player, drawer and overlay), runs the show clock on the music, stops at
// the slides' end barriers, turns pointer events into actions and draws a frame every step.

#include <atomic>
#include <mutex>
#include <string>

#include "audio/output/wave_out.h"
#include "player/engine/custom_engine.h"
#include "player/engine/draw_controller.h"
#include "player/engine/frame_interpolator.h"
#include "player/engine/frame_pacing.h"
#include "player/loader/slide_loader.h"
#include "player/loader/slide_producer.h"
#include "player/overlay/third_slide.h"
#include "project/vyr_source.h"
#include "render/compose/root_item.h"
#include "scene/objects/vyr_dialog.h"

namespace vyr {

class TVyrMusicPlayer;

struct TEngineSettings {
  bool paused = true;
  // The music clock's output; none: a silent clock on the monotonic timer.
  TRef<TWaveOutDevice> audio;
  // Slides fill the window instead of fitting inside it.
  bool cover = false;
  TVyrSourceOptions sourceOptions;
  // The primary screen's size (full-screen shows build for it).
  TIntSize screenSize{1920, 1080};
};

// The window's bounds as the main thread last saw them; the engine applies them to the
// draw device on its own thread.
struct TWindowBounds {
  TIntRect bounds;
  int clientWidth = 0, clientHeight = 0;
  bool fullScreen = false;
};

class TVyrEngine : public TCustomVyrEngine {
 public:
  TVyrEngine(TEventBus* bus, TRef<TDrawDevice> device, TEngineSettings settings);

  // Main thread, before Start: opens the first show directly.
  void OpenShow(TRef<TFileAccessor> accessor, TRef<TIniFile> model, int32_t timeMs);
  void Stop() override;

  // Read and written across threads.
  bool IsDialogShown() const { return dialogShown_.load(); }
  void SetEndActionsEnabled(bool on) { endActionsEnabled_ = on; }
  bool Hovering() const { return hovering_.load(); }
  std::string HoveredClassName() const;
  bool WaitingAtBarrier() const { return waitingAtBarrier_.load(); }
  void ClearWaitingAtBarrier() { waitingAtBarrier_ = false; }
  // The window is active (focused); the main thread keeps it current.
  void SetWindowActive(bool active) { windowActive_ = active; }
  void SetWindowBounds(const TWindowBounds& bounds);
  // Engine-thread facts for tests and the main window's status.
  bool Active() const { return active_.load(); }
  double ShowTime() const { return shownTime_.load(); }

  // Engine thread (tests drive these directly on a stopped engine).
  void MainLoop() override;
  T3DDrawer* Drawer() const { return controller_->Drawer(); }
  TVyrSource* Source() const { return source_.Get(); }
  // Simulates a lost device (the next ready screen counts as re-created).
  void SimulateDeviceLoss();

 protected:
  void HandleEvent(TThreadEventList& queue, int32_t id, bool& handled,
                   TRefObject* payload) override;
  void ThreadStarted() override;
  void ThreadFinished() override;
  void Dispose() override;

 private:
  struct TEndBarrier {
    bool found = false;
    int index = 0;
    double time = 0;
    double loopLength = 0;
  };
  struct TRunAppBarrier {
    int index = 2147483646;
    double time = 3.4e38;
    std::string fileName;
  };

  // Opening and the clock.
  void OpenSource(TRef<TVyrSource> source, TRef<TFileAccessor> files, bool reopen, double timeMs);
  void StopLoader(bool freeLoader, bool freePlayer);
  void ProcessAsyncOpen();
  void SetActive(bool active);
  double GetShowTime();
  TEndBarrier FindEndBarrier(double x) const;
  TRunAppBarrier FindRunAppBarrier(double x) const;
  bool CheckShowEnd();
  bool SlidesReadyToPlay() const;
  bool SlidesReadyToDraw() const;
  bool IsMusicReady();
  void CreateMusicPlayer();
  void PrepareMusic(double time, double limit);
  void ApplyWindowBounds();
  void Reinitialise();
  void AdoptSlideList(TSlideData* list);
  void Preload(TDrawContainer& container);
  void PrepareContainer(TDrawContainer& container);
  void StartLoader();
  void PostPosition(int32_t time, int32_t total, bool ended);

  // Drawing and the pointer.
  void DrawFrame(bool force);
  void HitTest(const TPointerState& mouse, const TVyrActionInfo& carried, bool dispatch);
  void DispatchAction(const TVyrActionInfo& action);
  TRef<TBitmap> CaptureFrame();
  void ShowDialog(const std::string& name);
  bool PrepareFrame();
  void SetHover(bool hovering, const std::string& className);

  TEngineSettings settings_;
  TRef<TVyrSource> source_;
  TRef<TFileAccessor> files_;
  std::atomic<bool> paused_;
  TFrameInterpolator interpolator_;
  int32_t reportRequestId_ = 0;
  TRef<TOpenParams> pending_, inProgress_;
  TRef<TVyrDrawController> controller_;
  TRef<TRootItem> root_;
  std::atomic<bool> active_{false};
  double frozenOrOffset_ = 0;
  TRef<TVyrMusicPlayer> music_;
  double musicLimit_ = -1;  // the stop time the music player was last given
  double musicPreparedAt_ = -1;
  TRef<TThirdSlide> overlay_;
  TRef<TSlideProducer> producer_;
  bool recreateMusic_ = false;
  TRef<TVyrSlideLoader> loader_;
  TRef<TTiming> clock_;
  TRef<TSlideData> slides_;
  bool firstFramePosted_ = false;
  int64_t lastReported_ = -2147483647;
  TPointerState mouse_;
  TEndBarrier endBarrier_;
  TRunAppBarrier runBarrier_;
  std::atomic<bool> waitingAtBarrier_{false};
  bool endReported_ = false;
  std::atomic<float> volume_{1.0f};
  bool frameDrawn_ = false;
  bool drewThisStep_ = false;
  TFramePacing pacing_;
  int64_t lastTick_ = 0;
  std::atomic<bool> endActionsEnabled_{true};
  std::atomic<bool> hovering_{false};
  mutable std::mutex hoverLock_;
  std::string hoveredClass_;
  std::atomic<bool> dialogShown_{false};
  std::atomic<bool> windowActive_{true};
  std::atomic<double> shownTime_{0};
  std::mutex boundsLock_;
  TWindowBounds bounds_;
  bool boundsChanged_ = false;
  bool drawerPending_ = false;  // the first open initialises the drawer on the engine thread
  // Set once the drawer is made: the slide loader, started before it, reads the drawer only then.
  std::atomic<bool> drawerStands_{false};
  // Set once the loader has prepared a slide: until then the drawing thread has time to warm up.
  std::atomic<bool> slidePrepared_{false};
  // The loader's preloads and the engine thread's letting go of the renderer take turns: a
  // slide finished while the engine stops makes no textures for a renderer already gone.
  std::mutex preloadLock_;
  bool rendererReleased_ = false;  // under preloadLock_
};

}  // namespace vyr

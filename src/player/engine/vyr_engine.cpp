#include "player/engine/vyr_engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "audio/player/vyr_music_player.h"
#include "foundation/log.h"
#include "package/container/load_callback.h"
#include "platform/clock.h"
#include "render/device/gl_store.h"

namespace vyr {
namespace {

constexpr int kCacheCapacity = 3;
constexpr int64_t kNoPosition = -2147483647;
constexpr double kNoBarrierTime = 3.4e38;
constexpr int kIdleSleepMs = 16;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

TVyrEngine::TVyrEngine(TEventBus* bus, TRef<TDrawDevice> device, TEngineSettings settings)
    : TCustomVyrEngine(bus),
      settings_(std::move(settings)),
      paused_(settings_.paused),
      controller_(MakeRef<TVyrDrawController>(std::move(device))),
      root_(MakeRef<TRootItem>()) {
  interpolator_.SetBypass(true);
}

void TVyrEngine::Dispose() {
  Stop();
  StopLoader(true, true);
  overlay_.Reset();
  source_.Reset();
  root_.Reset();
  controller_.Reset();
  TCustomVyrEngine::Dispose();
}

void TVyrEngine::Stop() {
  // A slide being built (a large picture decoding) stops early instead of holding up the close.
  const TLoadCancel cancel;
  TVyrThread::Stop();
  StopLoader(true, true);
}

std::string TVyrEngine::HoveredClassName() const {
  std::lock_guard guard(hoverLock_);
  return hoveredClass_;
}

void TVyrEngine::SetHover(bool hovering, const std::string& className) {
  hovering_ = hovering;
  std::lock_guard guard(hoverLock_);
  hoveredClass_ = className;
}

void TVyrEngine::SetWindowBounds(const TWindowBounds& bounds) {
  std::lock_guard guard(boundsLock_);
  bounds_ = bounds;
  boundsChanged_ = true;
}

void TVyrEngine::SimulateDeviceLoss() { controller_->MarkLost(); }

// ---- opening ----

void TVyrEngine::OpenShow(TRef<TFileAccessor> accessor, TRef<TIniFile> model, int32_t timeMs) {
  VYR_ASSERT_MSG(model, "TVyrEngine.OpenShow: no project");
  auto source = MakeRef<TVyrSource>(model, settings_.sourceOptions);
  // A running player plays the old show's music until the engine stops next.
  if (!paused_ && music_) recreateMusic_ = true;
  OpenSource(std::move(source), std::move(accessor), false, timeMs);
}

void TVyrEngine::OpenSource(TRef<TVyrSource> source, TRef<TFileAccessor> files, bool reopen,
                            double timeMs) {
  endReported_ = false;
  GlobalLog().WriteReal(
      reopen ? "Reopen from new position>>>>>>>> " : "Open from new position>>>>>>>> ", timeMs);
  const bool paused = paused_;
  if (paused) SetActive(false);
  const double keptCurrent = clock_ ? clock_->CurrentTime() : 0;
  const double keptProposed = clock_ ? clock_->ProposedTime() : 0;
  StopLoader(true, paused);
  source_ = std::move(source);
  files_ = std::move(files);
  producer_ = MakeRef<TSlideProducer>(source_, MakeShowHost(*source_, files_));
  loader_ = MakeRef<TVyrSlideLoader>(source_, producer_, kCacheCapacity, settings_.screenSize);
  clock_ = loader_->ClockRef();
  clock_->SetCurrentTime(keptCurrent);
  clock_->SetProposedTime(keptProposed);
  loader_->SetTarget(&Events(), kRequestSlideList);
  loader_->SetContainerCreated([this](TDrawContainer& container) { Preload(container); });
  if (paused || !music_) CreateMusicPlayer();
  if (!reopen) {
    const TShowWindowParams& window = loader_->WindowParams();
    PostEvent(kEventWindowMode,
              {window.windowSize.width, window.windowSize.height, window.WindowMode()});
    // The drawer is made on the drawing thread, at the next loop step.
    drawerPending_ = true;
    firstFramePosted_ = false;
  }
  TDrawDevice* device = controller_->Device();
  const TIntSize size{std::max(device ? device->ClientWidth() : 0, 10),
                      std::max(device ? device->ClientHeight() : 0, 10)};
  loader_->SetBuildSize(size, settings_.cover);

  TOverlayParams params;
  params.accessor = files_;
  params.project = TRef<TIniFile>::Share(source_->Model());
  params.slideRect = loader_->SlideRect();
  // The logo converts to the profile the slides convert to.
  params.displayProfile = producer_->Host().DisplayProfile();
  params.root = root_.Get();
  params.windowSize = size;
  params.slideSize = producer_->PresentationSize();
  params.musicVolume = music_ ? music_->GetVolume() : 0;
  params.showDuration = source_->Length();
  params.callbacks.setVolume = [this](double volume) {
    volume_ = static_cast<float>(volume);
    if (music_) music_->SetVolume(static_cast<float>(volume));
  };
  params.callbacks.seek = [this](double ms) {
    DispatchAction({TVyrActionKind::Seek, static_cast<int32_t>(std::lround(ms)), {}});
  };
  params.callbacks.isPlaying = [this] { return !paused_; };
  overlay_ = BuildOverlay(params);

  root_->SetBackground(true, source_->BackgroundRgb());
  root_->SetSharpenAmount(static_cast<float>(source_->UnsharpAmount()));

  if (paused) {
    frozenOrOffset_ = timeMs;
    clock_->SetCurrentTime(timeMs);
    clock_->SetProposedTime(timeMs);
    lastReported_ = kNoPosition;
    runBarrier_ = FindRunAppBarrier(timeMs);
    endBarrier_ = FindEndBarrier(timeMs);
    waitingAtBarrier_ = false;
  }
  GlobalLog().WriteReal("Loader Inited To Time : ", clock_->CurrentTime());
}

void TVyrEngine::CreateMusicPlayer() {
  if (music_) {
    music_->SetRunning(false);
    music_->Stop();
  }
  music_ = MakeRef<TVyrMusicPlayer>(source_, settings_.audio, files_);
  music_->Start();
  music_->SetRunning(false);
  music_->SetVolume(volume_);
  musicLimit_ = -1;
}

void TVyrEngine::StopLoader(bool freeLoader, bool freePlayer) {
  if (loader_) {
    loader_->Terminate();
    // The loader may wait in a Send to this queue: keep handling it until it is gone.
    while (loader_->Running()) {
      Events().Process();
      Sleep(3);
    }
  }
  if (freePlayer && music_) {
    music_->SetRunning(false);
    music_->Stop();
    music_.Reset();
  }
  if (freeLoader) {
    loader_.Reset();
    slides_.Reset();
    overlay_.Reset();
    root_->SetItems({});
    root_->SetFilter(nullptr);
  }
}

void TVyrEngine::Preload(TDrawContainer& container) {
  // Loader thread: the slide's pictures are prepared here so the drawing thread only uploads.
  // The lock keeps the drawing thread from closing the drawer meanwhile.
  std::lock_guard guard(preloadLock_);
  PrepareContainer(container);
}

void TVyrEngine::PrepareContainer(TDrawContainer& container) {
  T3DDrawer* drawer = drawerStands_ ? controller_->Drawer() : nullptr;
  if (!container.slide || rendererReleased_) return;
  if (!drawer) {
    // The slides built while the window and its drawer come up: their pictures are decoded
    // now, and uploaded when the drawer prepares them.
    container.slide->DecodePictures();
    slidePrepared_ = true;
    return;
  }
  if (active_) WriteLine("preload from callback.............");
  container.slide->PrepareResources(*drawer);
  container.slide->RequestFrames(*drawer, 0);
  container.preparedWithDrawer = true;
  slidePrepared_ = true;
}

// ---- requests ----

void TVyrEngine::HandleEvent(TThreadEventList& /*queue*/, int32_t id, bool& handled,
                             TRefObject* payload) {
  handled = true;
  switch (id) {
    case kRequestMouse: {
      auto* data = dynamic_cast<TMouseData*>(payload);
      if (!data) return;
      mouse_ = TPointerState{data->shift, data->x, data->y, 0, 0};
      HitTest(TPointerState{data->shift, data->x, data->y, data->button, data->eventType},
              data->action, true);
      return;
    }
    case kRequestCapture: {
      TRef<TBitmap> picture = CaptureFrame();
      if (picture) {
        WriteLine("********************* Image ");
        PostEvent(kEventPicture, {}, picture);
      } else {
        WriteLine("********************* Image not Assigned");
      }
      return;
    }
    case kRequestCloseDialog:
      if (overlay_) overlay_->CloseDialog(-1);
      return;
    case kRequestHelp:
      ShowDialog("help");
      return;
    case kRequestSlideList:
      AdoptSlideList(dynamic_cast<TSlideData*>(payload));
      return;
    case kRequestOpen: {
      auto* params = dynamic_cast<TOpenParams*>(payload);
      if (!params) return;
      const bool carried = pending_ ? pending_->paused : paused_.load();
      if (params->model) {
        WriteLine("TVyrEngine: OpenShow Async");
        pending_ = TRef<TOpenParams>::Share(params);
      } else {
        WriteLine("TVyrEngine: SetPosition Async");
        if (pending_) {
          pending_->requestId = params->requestId;
          pending_->time = params->time;
        } else {
          pending_ = TRef<TOpenParams>::Share(params);
        }
      }
      pending_->paused = carried;
      GlobalLog().WriteBoolean("TVyrEngine: Current Pause Status: ", paused_);
      GlobalLog().WriteBoolean("TVyrEngine: Async Pause Status: ", carried);
      return;
    }
    case kRequestPause: {
      auto* mode = dynamic_cast<TModeData*>(payload);
      if (!mode) return;
      if (pending_ || inProgress_) {
        (pending_ ? pending_ : inProgress_)->paused = mode->paused;
        GlobalLog().WriteBoolean("TVyrEngine: SetPauseEvent Async: ", mode->paused);
      } else {
        GlobalLog().WriteBoolean("TVyrEngine: Before Pause Status: ", paused_);
        paused_ = mode->paused;
        GlobalLog().WriteBoolean("TVyrEngine: SetPauseEvent Direct: ", mode->paused);
      }
      return;
    }
    default:
      VYR_ASSERT_MSG(false, "TVyrEngine: unknown request " + std::to_string(id));
  }
}

void TVyrEngine::AdoptSlideList(TSlideData* list) {
  slides_ = TRef<TSlideData>::Share(list);
  // The drawing thread alone closes the drawer: no lock, so a decode running on the loader
  // thread does not hold this up.
  for (int i = 0; list && i < list->Count(); ++i)
    if (!list->Item(i)->preparedWithDrawer) PrepareContainer(*list->Item(i));
  std::string text = ">>>>>>>>>>>>> slide list synched : ";
  for (int i = 0; list && i < list->Count(); ++i) {
    const TSlideTiming& t = list->Item(i)->timing;
    if (i > 0) text += "  ";
    text +=
        std::to_string(std::llround(t.start)) + "-" + std::to_string(std::llround(t.visibleEnd));
  }
  WriteLine(text);
}

void TVyrEngine::ProcessAsyncOpen() {
  inProgress_ = std::move(pending_);
  WriteLine("TVyrEngine: Begin ProcessAsyncOpen");
  if (inProgress_->model) {
    WriteLine("TVyrEngine: Process AsyncEvent Open");
    OpenShow(std::move(inProgress_->accessor), std::move(inProgress_->model), inProgress_->time);
  } else {
    WriteLine("TVyrEngine: Process AsyncEvent SetPosition");
    SetActive(false);
    frozenOrOffset_ = inProgress_->time;
    if (clock_) {
      clock_->SetCurrentTime(inProgress_->time);
      clock_->SetProposedTime(inProgress_->time);
    }
    lastReported_ = kNoPosition;
    runBarrier_ = FindRunAppBarrier(inProgress_->time);
    endBarrier_ = FindEndBarrier(inProgress_->time);
    waitingAtBarrier_ = false;
    endReported_ = false;
  }
  reportRequestId_ = inProgress_->requestId;
  GlobalLog().WriteBoolean("TVyrEngine: Process AsyncEvent Curren Pause Status: ", paused_);
  paused_ = inProgress_->paused;
  GlobalLog().WriteBoolean("TVyrEngine: Process AsyncEvent New Pause Status: ", paused_);
  inProgress_.Reset();
}

// ---- the clock ----

double TVyrEngine::GetShowTime() {
  if (!active_ || !music_) return frozenOrOffset_;
  return interpolator_.Step(music_->GetTime() - frozenOrOffset_);
}

void TVyrEngine::SetActive(bool active) {
  if (active) {
    T3DDrawer* drawer = controller_->Drawer();
    for (int i = 0; slides_ && drawer && i < slides_->Count(); ++i) {
      TDrawContainer* container = slides_->Item(i);
      if (!container->slide) continue;
      container->slide->PrepareResources(*drawer);
      const double local = frozenOrOffset_ - container->timing.start;
      GlobalLog().WriteReal("PreloadEx Time: ", local);
      container->slide->RequestFrames(*drawer, local);
    }
    const double limit = std::min(endBarrier_.time, TVyrMusicPlayer::kNoLimit);
    if (musicLimit_ != limit) {
      music_->SetLimit(limit);
      musicLimit_ = limit;
    }
    music_->SetRunning(true);
    active_ = true;
    frozenOrOffset_ = GetShowTime();  // bypassing: music position - frozen time
    SetLoadCallBackMode(TLoadCallBackMode::HighSleep);
    interpolator_.SetBypass(false);
    return;
  }
  interpolator_.SetBypass(true);
  const bool wasActive = active_;
  active_ = false;
  if (music_ && wasActive) music_->SetRunning(false);
  if (clock_) frozenOrOffset_ = clock_->CurrentTime();
  if (wasActive) SetLoadCallBackMode(TLoadCallBackMode::None);
  if (recreateMusic_ && source_) {
    recreateMusic_ = false;
    CreateMusicPlayer();
  }
}

TVyrEngine::TEndBarrier TVyrEngine::FindEndBarrier(double x) const {
  const bool ends = source_ && !source_->Repeats();
  TEndBarrier none{false, ends ? source_->SlideCount() - 1 : 2147483646,
                   ends ? source_->Length() : kNoBarrierTime, 0};
  if (!endActionsEnabled_ || !source_ || source_->SlideCount() <= 0) return none;
  const int count = source_->SlideCount();
  const int start = x == endBarrier_.time ? endBarrier_.index : source_->SlideAt(x);
  int examined = 0;
  for (int64_t i = std::max(start, 0); i <= none.index && examined < count; ++i) {
    const TSlideTiming timing = source_->Timing(static_cast<int>(i)).timing;
    if (timing.end <= x) continue;
    ++examined;
    const TEndAction action = source_->EndAction(static_cast<int>(i % count));
    if (action.kind == TEndActionKind::Pause || action.kind == TEndActionKind::Loop)
      return {true, static_cast<int>(i), timing.end,
              action.kind == TEndActionKind::Loop ? action.loopLength : 0};
  }
  return none;
}

TVyrEngine::TRunAppBarrier TVyrEngine::FindRunAppBarrier(double x) const {
  if (!endActionsEnabled_ || !source_ || source_->SlideCount() <= 0) return {};
  const int count = source_->SlideCount();
  const int start = x == runBarrier_.time ? runBarrier_.index + 1 : source_->SlideAt(x);
  for (int64_t i = std::max(start, 0); i < int64_t{std::max(start, 0)} + count; ++i) {
    const TRunApp run = source_->RunApp(static_cast<int>(i % count));
    const double begin = source_->Timing(static_cast<int>(i)).timing.start + 1;
    if (run.run && !run.command.empty() && begin > x)
      return {static_cast<int>(i), begin, run.command};
  }
  return {};
}

bool TVyrEngine::CheckShowEnd() {
  if (!source_ || source_->Repeats() || !clock_) return false;
  // The music clock stops at the show's length, so a running show has ended on reaching it.
  const double t = clock_->CurrentTime();
  if (t < source_->Length() || (t == source_->Length() && !active_)) return false;
  clock_->SetCurrentTime(source_->Length());
  if (!endReported_) {
    endReported_ = true;
    const auto total = static_cast<int32_t>(source_->Length());
    lastReported_ = total;
    PostPosition(total, total, true);
  }
  return true;
}

bool TVyrEngine::SlidesReadyToPlay() const {
  if (active_) return true;
  if (!slides_ || slides_->Count() < kCacheCapacity || !clock_) return false;
  const double t = clock_->CurrentTime();
  const TSlideTiming& first = slides_->Item(0)->timing;
  if (first.start + first.in > t) return false;
  return t <= slides_->Item(slides_->Count() - 1)->timing.visibleEnd;
}

bool TVyrEngine::SlidesReadyToDraw() const {
  if (active_) return true;
  if (!slides_ || slides_->Count() == 0 || !clock_) return false;
  const double t = clock_->CurrentTime();
  const TSlideTiming& first = slides_->Item(0)->timing;
  if (first.start + first.in > t) return false;
  if (slides_->Count() == 1) return t <= first.visibleEnd;
  if (slides_->Count() == 2) {
    const TSlideTiming& second = slides_->Item(1)->timing;
    return t <= first.visibleEnd && second.start <= t && t <= second.end;
  }
  return SlidesReadyToPlay();
}

void TVyrEngine::PrepareMusic(double time, double limit) {
  limit = std::min(limit, TVyrMusicPlayer::kNoLimit);
  music_->SetTime(limit, time);
  musicLimit_ = limit;
  musicPreparedAt_ = time;
}

bool TVyrEngine::IsMusicReady() {
  if (!music_) return false;
  const double limit = std::min(endBarrier_.time, TVyrMusicPlayer::kNoLimit);
  if (!active_ && clock_ && (music_->GetTime() != clock_->CurrentTime() || musicLimit_ != limit))
    PrepareMusic(clock_->CurrentTime(), limit);
  const bool ready = music_->Ready();
  if (active_ && !ready) WriteLine("TVyrEngine.IsMusicReady: False");
  return ready;
}

void TVyrEngine::PostPosition(int32_t time, int32_t total, bool ended) {
  PostEvent(kEventPosition, {reportRequestId_, time, total, ended ? 1 : 0});
}

// ---- the loop ----

void TVyrEngine::ThreadStarted() {
  std::lock_guard guard(preloadLock_);
  rendererReleased_ = false;
}

void TVyrEngine::ThreadFinished() {
  if (const std::string pacing = pacing_.Summary(); !pacing.empty())
    WriteLine("TVyrEngine: " + pacing);
  // The GL context lives on this thread: let go of the renderer and the context here.
  {
    std::lock_guard guard(preloadLock_);
    rendererReleased_ = true;
    if (T3DDrawer* drawer = controller_->Drawer()) {
      drawer->Close();
      drawer->Screen().DropPendingUploads();
    }
  }
  if (TDrawDevice* device = controller_->Device())
    if (auto* store = device->FindDependent<TGlStore>()) store->FreeAll();
  TCustomVyrEngine::ThreadFinished();
}

void TVyrEngine::ApplyWindowBounds() {
  TWindowBounds bounds;
  {
    std::lock_guard guard(boundsLock_);
    if (!boundsChanged_) return;
    bounds = bounds_;
    boundsChanged_ = false;
  }
  TDrawDevice* device = controller_->Device();
  if (!device) return;
  const bool resized =
      bounds.clientWidth != device->ClientWidth() || bounds.clientHeight != device->ClientHeight();
  device->SetBounds(bounds.bounds, bounds.clientWidth, bounds.clientHeight, bounds.fullScreen);
  controller_->DeviceRefresh();
  // A new size rebuilds the slides for it, as after a lost device.
  if (resized && loader_) controller_->MarkLost();
}

void TVyrEngine::Reinitialise() {
  for (int i = 0; slides_ && i < slides_->Count(); ++i)
    if (slides_->Item(i)->slide) slides_->Item(i)->slide->ReleaseResources();
  TDrawDevice* device = controller_->Device();
  if (device && source_ && producer_ &&
      (std::max(device->ClientWidth(), 10) != producer_->WindowSize().width ||
       std::max(device->ClientHeight(), 10) != producer_->WindowSize().height)) {
    GlobalLog().WritePoint("OpenInt on diff size: ", device->ClientWidth(), device->ClientHeight());
    OpenSource(source_, files_, true, GetShowTime());
  }
  T3DDrawer* drawer = controller_->Drawer();
  for (int i = 1; slides_ && drawer && i < slides_->Count(); ++i)
    if (slides_->Item(i)->slide) slides_->Item(i)->slide->PrepareResources(*drawer);
  GlobalLog().WriteInteger("DrawDevice Reinited (Slides:", slides_ ? slides_->Count() : 0, ")");
}

void TVyrEngine::StartLoader() {
  if (loader_ && !loader_->Running() && !loader_->IsTerminated()) loader_->Start();
}

void TVyrEngine::MainLoop() {
  // The loader starts before the drawer is made, so that slide 1 is decoded meanwhile.
  StartLoader();
  if (drawerPending_) {
    drawerPending_ = false;
    controller_->Initialise();
    if (T3DDrawer* drawer = controller_->Drawer())
      drawer->SetTransitionSlideFactory([this](const TIniSection* section) {
        return producer_ ? producer_->BuildCustomTransitionSlide(section) : nullptr;
      });
    drawerStands_ = true;
    // While slide 1 still decodes (the loader runs already), the first frame's programs are
    // made; a slide that is ready is drawn at once instead.
    T3DDrawer* drawer = controller_->Drawer();
    if (drawer && !slidePrepared_) drawer->WarmUp(source_ ? source_->BackgroundRgb() : 0);
  }
  if (music_ && music_->GetVolume() != volume_) music_->SetVolume(volume_);
  if (Events().IsClosed()) return;
  ApplyWindowBounds();
  Events().Process();
  if (pending_) ProcessAsyncOpen();
  StartLoader();  // an open or seek just now made a new one

  const int state = controller_->GetState();
  bool newActive = !paused_ && !waitingAtBarrier_ && !(overlay_ && overlay_->HasPausingDialog()) &&
                   SlidesReadyToPlay() && IsMusicReady();
  if (!source_) newActive = false;
  if (source_ && source_->PauseWhenInactive() && !windowActive_) newActive = false;
  if (active_ && CheckShowEnd()) newActive = false;
  // An ended show stays at its end until a seek or an open moves it.
  if (endReported_ && clock_ && source_ && clock_->CurrentTime() >= source_->Length())
    newActive = false;
  bool redraw = (state & TVyrDrawController::kRedraw) != 0;
  if (!newActive) {
    if (active_) {
      WriteLine("TVyrEngine.MainLoop: SetActive(False) - Stop by not NewActive");
      redraw = true;
      SetActive(false);
    } else if (clock_) {
      frozenOrOffset_ = clock_->CurrentTime();
    }
  }
  const bool lost = (state & TVyrDrawController::kDeviceLost) != 0;
  if (lost && (state & TVyrDrawController::kScreenReady)) {
    firstFramePosted_ = false;
    newActive = false;
    if (active_) {
      WriteLine("TVyrEngine.MainLoop: SetActive(False) - Stop by Reinited");
      SetActive(false);
    }
    Reinitialise();
  }
  if (newActive && !active_) {
    WriteLine("TVyrEngine.MainLoop: SetActive(True) - Start by NewActive");
    SetActive(true);
  }
  if (IsTerminated()) return;

  if (clock_) {
    const double proposed = GetShowTime();
    if (overlay_) overlay_->UpdateFrame(proposed);
    clock_->SetProposedTime(proposed);
    if (active_ && endBarrier_.found && proposed >= endBarrier_.time) {
      WriteLine("TVyrEngine.MainLoop: SetActive(False) - Stop by Barrier");
      SetActive(false);
      double current = proposed;
      if (endBarrier_.loopLength > 0) {
        while (current >= endBarrier_.time) current -= endBarrier_.loopLength;
      } else {
        waitingAtBarrier_ = true;
        current = endBarrier_.time;
        endBarrier_ = FindEndBarrier(current);
      }
      clock_->SetCurrentTime(current);
      frozenOrOffset_ = current;
      PrepareMusic(current, endBarrier_.time);
    } else {
      clock_->SetCurrentTime(proposed);
    }
    CheckShowEnd();
    if (active_ && clock_->CurrentTime() >= runBarrier_.time) {
      const std::string name = runBarrier_.fileName;
      runBarrier_ = FindRunAppBarrier(runBarrier_.time);
      if (!name.empty()) DispatchAction({TVyrActionKind::RunApp, 0, name});
    }
  }
  dialogShown_ = overlay_ && overlay_->TopDialog();

  drewThisStep_ = false;
  if (slides_ && slides_->Count() > 0) {
    if (SlidesReadyToDraw()) {
      try {
        DrawFrame(redraw || lost);
      } catch (const std::exception& error) {
        WriteLine(std::string("TVyrEngine.DrawFrame: ") + error.what());
      }
    } else if (redraw) {
      root_->SetFilter(nullptr);
    }
  }

  pacing_.Step(
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
          .count(),
      drewThisStep_, active_);
  const int64_t now = TickCount();
  // A still, paused show wakes once a frame: requests then wait at most that long, and the
  // idle processor stays idle.
  const bool idle = !active_ && !drewThisStep_ && firstFramePosted_;
  Sleep(idle ? kIdleSleepMs : now - lastTick_ <= 16 ? 3 : 1);
  lastTick_ = now;

  if (clock_) {
    const double current = clock_->CurrentTime();
    shownTime_ = current;
    if (std::fabs(current - static_cast<double>(lastReported_)) > 20) {
      lastReported_ = static_cast<int64_t>(current);
      PostPosition(static_cast<int32_t>(lastReported_),
                   source_ ? static_cast<int32_t>(source_->Length()) : 0, false);
    }
  }
}

}  // namespace vyr

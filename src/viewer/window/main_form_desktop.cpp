// The main window on the desktop's session bus: the media controls (MPRIS) and the
// screen-saver inhibition follow the show; media requests come back as actions.

#include <filesystem>

#include "platform/desktop/mpris_service.h"
#include "platform/desktop/screen_saver_inhibitor.h"
#include "platform/desktop/session_bus.h"
#include "project/ini/values.h"
#include "viewer/window/main_form.h"
#include "viewer/window/screen_saver.h"

namespace vyr {
namespace {

class TMediaRequestEvent : public TRefObject {
 public:
  explicit TMediaRequestEvent(const TMprisRequest& r) : request(r) {}
  TMprisRequest request;
};

}  // namespace

void TMainForm::StartDesktop() {
  sessionBus_ = std::make_unique<TSessionBus>();
  inhibitor_ = std::make_unique<TScreenSaverInhibitor>(*sessionBus_);
  const int32_t channel = bus_.AllocateId();
  bus_.Subscribe(channel, [this](TRefObject* payload) {
    MediaRequest(static_cast<TMediaRequestEvent*>(payload)->request);
  });
  // The bus thread only queues: the window's thread performs.
  mpris_ = std::make_unique<TMprisService>(*sessionBus_, [this, channel](const TMprisRequest& r) {
    bus_.Post(channel, MakeRef<TMediaRequestEvent>(r));
  });
}

void TMainForm::StopDesktop() {
  HoldScreenSaverOff(false);
  mpris_.reset();
  inhibitor_.reset();
  sessionBus_.reset();  // sends what is queued, then joins its thread
}

void TMainForm::UpdateDesktop() {
  if (!sessionBus_ || !current_ || !source_) return;
  const bool playing = !viewer_->Paused() && !terminated_;
  if (playing) stopped_ = false;
  inhibitor_->SetActive(HoldScreenSaverOff(playing));
  TMprisState state;
  const int32_t position = viewer_->Position();
  state.status = playing    ? TMprisState::TStatus::Playing
                 : stopped_ ? TMprisState::TStatus::Stopped
                            : TMprisState::TStatus::Paused;
  state.positionUs = int64_t{position} * 1000;
  state.lengthUs = int64_t{viewer_->Total()} * 1000;
  state.title = ReadText(current_->show.project.Get(), "Main", "opt_scr_caption", "");
  if (state.title.empty()) state.title = std::filesystem::path(currentShowFile_).stem().string();
  std::error_code error;
  state.showFile = std::filesystem::absolute(current_->path, error).string();
  state.slideCount = source_->SlideCount();
  state.slide = state.slideCount > 0 ? source_->SlideAt(position) % state.slideCount + 1 : 0;
  state.canNavigate = mapping_ && mapping_->NavigationAllowed();
  mpris_->Publish(state);
}

void TMainForm::MediaSeeked(int32_t time) {
  if (mpris_) mpris_->Seeked(int64_t{time} * 1000);
}

void TMainForm::MediaRequest(const TMprisRequest& request) {
  using K = TMprisRequest::TKind;
  if (modalCount_ > 0 || !source_ || terminated_) return;
  if (request.kind == K::Raise) {
    if (SDL_Window* window = Window()) SDL_RaiseWindow(window);
    return;
  }
  if (request.kind == K::Quit) {
    PerformAction({TVyrActionKind::Exit, 0, {}});
    return;
  }
  TVyrEngine* engine = viewer_->Engine();
  const bool waiting = engine && engine->WaitingAtBarrier();
  const bool goesOn =
      request.kind == K::Play || request.kind == K::PlayPause || request.kind == K::Next;
  // Like the keys: a show that does not let the viewer steer only goes on from a pause point.
  if (!mapping_ || !mapping_->NavigationAllowed()) {
    if (waiting && goesOn) engine->ClearWaitingAtBarrier();
    return;
  }
  switch (request.kind) {
    case K::Play:
      if (waiting)
        engine->ClearWaitingAtBarrier();
      else
        viewer_->SetPaused(false);
      return;
    case K::Pause:
      viewer_->SetPaused(true);
      return;
    case K::PlayPause:
      PerformAction({TVyrActionKind::Pause, 0, {}});
      return;
    case K::Stop:
      PerformAction({TVyrActionKind::Stop, 0, {}});
      return;
    case K::Next:
      PerformAction({TVyrActionKind::NextSlide, 0, {}});
      return;
    case K::Previous:
      PerformAction({TVyrActionKind::PrevSlide, 0, {}});
      return;
    case K::Seek: {
      const int64_t target = int64_t{viewer_->Position()} + request.us / 1000;
      viewer_->Seek(static_cast<int32_t>(std::clamp<int64_t>(target, 0, viewer_->Total())));
      return;
    }
    case K::SetPosition:
      viewer_->Seek(static_cast<int32_t>(request.us / 1000));
      return;
    default:
      return;
  }
}

}  // namespace vyr

#include "viewer/window/show_viewer.h"

namespace vyr {

void TVyrShowViewer::Connect() {
  engine_->SetOnFirstFrame([this] {
    if (callbacks_.firstFrame) callbacks_.firstFrame();
  });
  engine_->SetOnPosition([this](int32_t time, bool ended, int32_t total) {
    position_ = time;
    total_ = total;
    if (callbacks_.position) callbacks_.position(time, ended);
  });
  engine_->SetOnEvent([this](const TVyrEventData& event) {
    const auto& values = event.integers;
    switch (event.id) {
      case kEventAction: {
        if (values.size() < 2 || !callbacks_.action) return;
        TVyrActionInfo action{static_cast<TVyrActionKind>(values[0]), values[1], {}};
        if (auto* text = dynamic_cast<TStrValue*>(event.payload.Get())) action.text = text->value;
        callbacks_.action(action);
        return;
      }
      case kEventPicture:
        if (callbacks_.picture)
          callbacks_.picture(TRef<TBitmap>::Share(dynamic_cast<TBitmap*>(event.payload.Get())));
        return;
      case kEventWindowMode:
        if (values.size() >= 3 && callbacks_.windowMode)
          callbacks_.windowMode(values[0], values[1], values[2]);
        return;
      default:
        return;
    }
  });
}

bool TVyrShowViewer::Open(TRef<TFileAccessor> accessor, TRef<TIniFile> model, int32_t startTime) {
  if (!engine_) {
    engine_ = factory_();
    if (!engine_) return false;
    engine_->SetEndActionsEnabled(endActionsEnabled_);
    Connect();
  }
  // The engine keeps its own copy of the project and of the file access.
  TRef<TIniFile> copy = model->CloneFile();
  TRef<TFileAccessor> clone = accessor->Clone();
  if (!engine_->Running()) {
    // Its reports carry the request counter as it stands.
    engine_->OpenShow(clone, copy, startTime);
    engine_->Start();
  } else {
    auto params = MakeRef<TOpenParams>();
    params->requestId = engine_->NextRequestId();
    params->accessor = clone;
    params->model = copy;
    params->time = startTime;
    params->paused = paused_;
    Post(kRequestOpen, params);
  }
  position_ = startTime;
  return true;
}

void TVyrShowViewer::Post(int32_t id, TRef<TRefObject> payload) {
  if (engine_ && engine_->Running()) engine_->Events().Post(id, std::move(payload));
}

void TVyrShowViewer::Seek(int32_t time) {
  if (time < 0 || !engine_) return;
  auto params = MakeRef<TOpenParams>();
  params->requestId = engine_->NextRequestId();
  params->time = time;
  params->paused = paused_;
  Post(kRequestOpen, params);
  position_ = time;
  if (callbacks_.seeked) callbacks_.seeked(time);
}

void TVyrShowViewer::SetPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  Post(kRequestPause, MakeRef<TModeData>(paused));
}

void TVyrShowViewer::SeekAndPause(int32_t time, bool paused) {
  Seek(time);
  SetPaused(paused);
}

void TVyrShowViewer::Mouse(uint8_t shift, int32_t x, int32_t y, int32_t button, uint8_t eventType,
                           const TVyrActionInfo& action) {
  auto data = MakeRef<TMouseData>();
  data->shift = shift;
  data->x = x;
  data->y = y;
  data->button = button;
  data->eventType = eventType;
  data->action = action;
  Post(kRequestMouse, data);
}

void TVyrShowViewer::ShowHelp() { Post(kRequestHelp); }
void TVyrShowViewer::CloseDialog() { Post(kRequestCloseDialog); }
void TVyrShowViewer::CapturePicture() { Post(kRequestCapture); }

void TVyrShowViewer::SetEndActionsEnabled(bool on) {
  endActionsEnabled_ = on;
  if (engine_) engine_->SetEndActionsEnabled(on);
}

void TVyrShowViewer::StopEngine() {
  if (!engine_) return;
  engine_->Stop();
  engine_.Reset();
}

}  // namespace vyr

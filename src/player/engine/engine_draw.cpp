// The engine's frames, pointer hit tests, actions and captured pictures.

#include <chrono>
#include <cmath>
#include <cstdio>

#include "foundation/log.h"
#include "platform/clock.h"
#include "player/engine/frame_pick.h"
#include "player/engine/vyr_engine.h"
#include "render/device/device3d.h"
#include "scene/camera.h"
#include "scene/objects/vyr_box.h"
#include "scene/objects/vyr_button.h"
#include "scene/objects/vyr_slide.h"
#include "scene/objects/vyr_text.h"

namespace vyr {
namespace {

constexpr double kFrameUploadMs = 4;
constexpr double kFirstFrameUploadMs = 2000;

// The class name the main window chooses its cursor by.
std::string ClassNameOf(const TVyrObject& object) {
  if (dynamic_cast<const TVyrButton*>(&object)) return "TVyrButton";
  if (dynamic_cast<const TVyrText*>(&object)) return "TVyrText";
  if (dynamic_cast<const TVyrImage*>(&object)) return "TVyrImage";
  if (dynamic_cast<const TVyrBox*>(&object)) return "TVyrBox";
  return "TVyrObject";
}

// Pointer events as the slide's mouse handling counts them.
int SlideEventKind(uint8_t eventType) {
  switch (eventType) {
    case 1:
      return kMousePress;
    case 2:
      return kMouseRelease;
    case 0:
      return kMouseMove;
    default:
      return -1;  // a double click follows its own press: nothing more
  }
}

int SlideButton(int32_t button) { return button == 4 ? 1 : button == 5 ? 2 : kMouseButtonLeft; }

}  // namespace

bool TVyrEngine::PrepareFrame() {
  if (!slides_ || !clock_ || !overlay_) return false;
  const double t = clock_->CurrentTime();
  std::vector<TDrawContainer*> shown;
  for (int i = 0; i < slides_->Count(); ++i) {
    TDrawContainer* container = slides_->Item(i);
    if (!VisibleAt(*container, t)) continue;
    container->AdvanceTo(t);
    shown.push_back(container);
  }
  TFramePick pick = PickFrame(shown);
  if (pick.Empty()) return false;
  pick.slides.push_back(overlay_);
  root_->SetItems(std::move(pick.slides));
  root_->SetFilter(pick.filter);
  TDrawDevice* device = controller_->Device();
  T3DDrawer* drawer = controller_->Drawer();
  if (!device || !drawer || !producer_) return false;
  root_->SetArea(device->ClientWidth(), device->ClientHeight());
  drawer->SetCamera(producer_->SlideRect(), producer_->PresentationSize().width,
                    DefaultCamera(device->ClientWidth(), device->ClientHeight()));
  return true;
}

void TVyrEngine::DrawFrame(bool force) {
  if (!PrepareFrame()) return;
  if (!force && !root_->IsChanged()) return;
  // Hover follows the animation under a resting pointer; the repeat never performs actions.
  HitTest(mouse_, {}, false);
  T3DDrawer* drawer = controller_->Drawer();
  // The first frame after an open shows its slides whole: every picture prepared so far is
  // uploaded, not only what fits the per-frame budget.
  if (!firstFramePosted_) drawer->Screen().SetUploadBudget(kFirstFrameUploadMs);
  drawer->DrawItem(*root_);
  drawer->Screen().SetUploadBudget(kFrameUploadMs);
  T3DRenderer* renderer = drawer->Screen().Renderer();
  if (!renderer || renderer->IsLost()) return;
  frameDrawn_ = true;
  drewThisStep_ = true;
  if (!firstFramePosted_) {
    firstFramePosted_ = true;
    PostEvent(kEventFirstFrame);
    // With the monotonic clock's reading, so a caller can time the start from outside.
    const double monotonic =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    char text[120];
    std::snprintf(text, sizeof text,
                  "TVyrEngine.DrawFrame: first frame shown at %lld ms (monotonic %.3f s)",
                  static_cast<long long>(TickCount()), monotonic);
    WriteLine(text);
  }
}

TRef<TBitmap> TVyrEngine::CaptureFrame() {
  T3DDrawer* drawer = controller_->Drawer();
  if (!drawer) return nullptr;
  try {
    if (!PrepareFrame()) return nullptr;
    overlay_->SetPanelHidden(true);
    drawer->SetCaptureMode(true);
    drawer->DrawItem(*root_);
    TRef<TBitmap> picture = drawer->Capture();
    drawer->SetCaptureMode(false);
    overlay_->SetPanelHidden(false);
    root_->MarkChanged();  // the window shows the panel again at the next frame
    return picture;
  } catch (const std::exception& error) {
    drawer->SetCaptureMode(false);
    if (overlay_) overlay_->SetPanelHidden(false);
    WriteLine(std::string("TVyrEngine.CaptureFrame: ") + error.what());
    return nullptr;
  }
}

void TVyrEngine::HitTest(const TPointerState& mouse, const TVyrActionInfo& carried, bool dispatch) {
  bool hovering = false;
  std::string className;
  TVyrActionInfo found;
  bool handled = false;
  if (overlay_) {
    const TPointerRoute route =
        overlay_->RoutePointer(mouse.shift, mouse.x, mouse.y, mouse.eventType, mouse.button);
    if (route.handled) {
      handled = true;
      found = route.action;
      if (route.dialogObject && !route.dialogObject->Action().Empty()) {
        hovering = true;
        className = ClassNameOf(*route.dialogObject);
      } else if (overlay_->IsOverPanel()) {
        className = "NavPanel";
      }
    }
  }
  const int kind = SlideEventKind(mouse.eventType);
  if (!handled && slides_ && clock_ && kind >= 0) {
    double t = clock_->CurrentTime();
    if (t == 0) t = 0.1;
    const bool inside = mouse.x != kPointerOutside && mouse.y != kPointerOutside;
    for (int i = slides_->Count() - 1; i >= 0; --i) {
      TDrawContainer* container = slides_->Item(i);
      const TSlideTiming& timing = container->timing;
      if (!container->slide || !(timing.start < t && t <= timing.end + timing.out)) continue;
      const TMouseHit hit = container->slide->HandleMouse(mouse.shift, static_cast<float>(mouse.x),
                                                          static_cast<float>(mouse.y), inside, kind,
                                                          SlideButton(mouse.button));
      if (hit.object && !hovering && !hit.object->Action().Empty()) {
        hovering = true;
        className = ClassNameOf(*hit.object);
      }
      if (!hit.action.Empty()) {
        found = hit.action;
        break;
      }
    }
  }
  SetHover(hovering, className);
  if (!dispatch) return;
  DispatchAction(found.Empty() ? carried : found);
}

void TVyrEngine::DispatchAction(const TVyrActionInfo& action) {
  using K = TVyrActionKind;
  if (action.kind == K::None) return;
  if (overlay_) {
    if (action.kind == K::PrevSlide || action.kind == K::NextSlide || action.kind == K::GotoSlide ||
        action.kind == K::RunPresentation)
      overlay_->ClosePausingDialogs();
    if (action.kind == K::Help) {
      ShowDialog("help");
      return;
    }
    if (action.kind == K::OpenDialog) {
      ShowDialog(action.text);
      return;
    }
    if (action.kind == K::CloseDialog && overlay_->TopDialog()) {
      overlay_->CloseDialog(-1);
      return;
    }
  }
  TRef<TRefObject> text;
  if (!action.text.empty()) text = MakeRef<TStrValue>(action.text);
  PostEvent(kEventAction, {static_cast<int32_t>(action.kind), action.parameter}, text);
}

void TVyrEngine::ShowDialog(const std::string& name) {
  if (!overlay_ || !producer_) return;
  try {
    TBuiltDialog built = producer_->BuildDialog(name);
    if (built.dialog) overlay_->AddDialog(TOverlayDialog{built.dialog, built.name, built.pause});
  } catch (const std::exception& error) {
    WriteLine("TVyrEngine.ShowDialog " + name + ": " + error.what());
  }
}

}  // namespace vyr

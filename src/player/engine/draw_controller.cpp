#include "player/engine/draw_controller.h"

#include "foundation/log.h"
#include "render/device/device3d.h"
#include "scene/geometry.h"

namespace vyr {

// Forgets the device when it is destroyed under the controller.
class TVyrDrawController::TKilledMessenger : public TDeviceDependent {
 public:
  explicit TKilledMessenger(TVyrDrawController* owner) : owner_(owner) {}
  void DeviceDestroyed() override {
    if (!owner_) return;
    TVyrDrawController* owner = owner_;
    owner_ = nullptr;
    owner->device_.Reset();
    owner->messenger_.Reset();
  }
  TVyrDrawController* owner_;
};

TVyrDrawController::TVyrDrawController(TRef<TDrawDevice> device) : device_(std::move(device)) {
  if (device_) {
    messenger_ = MakeRef<TKilledMessenger>(this);
    device_->AddDependent(messenger_);
  }
}

void TVyrDrawController::Initialise() {
  if (!drawer_) {
    drawer_ = MakeRef<T3DDrawer>();
    drawer_->Screen().SetLostCallback([this] { RndLost(); });
  }
  if (device_) drawer_->Attach(device_.Get());
}

void TVyrDrawController::RndLost() {
  lost_ = true;
  WriteLine("TVyrDrawController.RndLost");
}

void TVyrDrawController::DeviceRefresh() {
  refreshRequested_ = true;
  WriteLine("TVyrDrawController.DeviceRefresh: DrawDevice Refresh!");
}

int TVyrDrawController::GetState() {
  int state = 0;
  if (device_ && device_->IsActive()) state |= kWindowActive;
  const bool refresh = refreshRequested_.exchange(false);
  // Ready: a renderer stands on the device and is not lost (the screen's own flag only holds
  // between the start and the end of a frame).
  T3DRenderer* renderer = drawer_ ? drawer_->Screen().Renderer() : nullptr;
  const bool ready = renderer && !renderer->IsLost();
  if (refresh ||
      (drawer_ && device_ && !SameRect(device_->Bounds(), drawer_->Screen().DeviceRect())))
    state |= kRedraw;
  if (lost_) state |= kDeviceLost;
  if (ready) {
    state |= kScreenReady;
    if (lost_) {
      lost_ = false;
      WriteLine("TVyrDrawController.GetState: Inited, not Reinited");
    }
  }
  return state;
}

void TVyrDrawController::Dispose() {
  if (messenger_) {
    messenger_->owner_ = nullptr;
    if (device_) device_->RemoveDependent(messenger_.Get());
  }
  messenger_.Reset();
  drawer_.Reset();
  device_.Reset();
  TRefObject::Dispose();
}

}  // namespace vyr

#include "render/device/screen.h"

#include <algorithm>
#include <chrono>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "render/device/custom_texture.h"
#include "render/device/device_lock.h"
#include "render/device/gl_engine.h"

namespace vyr {

// Clears the screen's device reference when the draw device dies.
class T3DScreen::TKilledMessenger : public TDeviceDependent {
 public:
  explicit TKilledMessenger(T3DScreen* screen) : screen_(screen) {}
  void DeviceDestroyed() override {
    if (!screen_) return;
    screen_->ReleaseRenderer();
    screen_->device_ = nullptr;
    screen_->messenger_.Reset();
  }
  T3DScreen* screen_;
};

T3DScreen::T3DScreen(T3DEngine& engine) : engine_(engine) {}
T3DScreen::T3DScreen() : engine_(Engine3D()) {}

void T3DScreen::Dispose() {
  ReleaseRenderer();
  if (device_ && messenger_) {
    messenger_->screen_ = nullptr;
    device_->RemoveDependent(messenger_.Get());
  }
  messenger_.Reset();
  device_ = nullptr;
  std::lock_guard guard(resourcesLock_);
  uploads_.clear();
}

TIntRect T3DScreen::WantedRect(int& adapter) {
  const TIntRect& bounds = device_->Bounds();
  adapter = engine_.BestAdapter(bounds);
  if (device_->FullScreen() && !device_->Headless()) {
    TAdapterMode mode;
    if (engine_.AdapterMode(adapter, mode)) return mode.monitor;
  }
  return bounds;
}

void T3DScreen::Attach(TDrawDevice* device) {
  VYR_ASSERT_MSG(device, "DrawDevice=nil");
  TDeviceLock lock(DeviceMutex());
  int adapter = 0;
  TDrawDevice* previous = device_;
  device_ = device;
  const TIntRect rect = WantedRect(adapter);
  const bool changed = previous != device || fullScreen_ != device->FullScreen() ||
                       !SameRect(rect, deviceRect_) || !renderer_;
  if (previous != device) {
    if (previous && messenger_) {
      messenger_->screen_ = nullptr;
      previous->RemoveDependent(messenger_.Get());
    }
    messenger_ = MakeRef<TKilledMessenger>(this);
    device->AddDependent(messenger_);
  }
  if (!changed) return;
  fullScreen_ = device->FullScreen();
  deviceRect_ = rect;
  adapter_ = adapter;
  ReleaseResources();
  Initialise();
}

void T3DScreen::ReleaseRenderer() {
  TDeviceLock lock(DeviceMutex());
  targets_.clear();
  ready_ = false;
  renderer_.Reset();
}

void T3DScreen::ReleaseResources() {
  std::vector<TScreenResource*> resources;
  {
    std::lock_guard guard(resourcesLock_);
    resources = resources_;
  }
  for (TScreenResource* resource : resources) resource->ReleaseDeviceObjects();
}

void T3DScreen::Initialise() {
  ReleaseRenderer();
  firstFrame_ = true;
  if (!device_) {
    WriteLine("No window to draw");
    return;
  }
  if (!engine_.CheckDevice()) {
    WriteLine("Can't init");
    return;
  }
  TAdapterMode mode;
  if (!engine_.AdapterMode(adapter_, mode)) {
    WriteLine("Can't GetDisplayMode");
    return;
  }
  renderer_ = engine_.CreateRenderer(*device_, mode);
  if (!renderer_) return;
  renderer_->SetLostCallback([this] {
    if (lostCallback_) lostCallback_();
  });
}

bool T3DScreen::BeginScene() {
  TDeviceLock lock(DeviceMutex());
  ready_ = false;
  if (!device_) return false;
  int adapter = 0;
  const TIntRect rect = WantedRect(adapter);
  if (!SameRect(rect, deviceRect_) || adapter != adapter_ || fullScreen_ != device_->FullScreen()) {
    GlobalLog().WriteRect("T3DScreen.BeginScene, R= ", rect.left, rect.top, rect.right,
                          rect.bottom);
    deviceRect_ = rect;
    adapter_ = adapter;
    fullScreen_ = device_->FullScreen();
    ReleaseResources();
    Initialise();
  } else if (!renderer_ || renderer_->IsLost()) {
    // A lost renderer never recovers: make a new one; resources re-create on use.
    ReleaseResources();
    Initialise();
  }
  if (!renderer_ || !renderer_->BeginScene()) return false;
  {
    std::vector<TScreenResource*> resources;
    {
      std::lock_guard guard(resourcesLock_);
      resources = resources_;
    }
    for (TScreenResource* resource : resources) resource->PrepareFrame();
  }
  renderer_->SetCulling(true);
  TRef<T3DSurface> back = renderer_->BackBuffer();
  if (!back) return false;
  int width = 0, height = 0;
  back->Size(width, height);
  if (firstFrame_ || targets_.empty()) {
    defaultCamera_ = DefaultCamera(width, height);
    firstFrame_ = false;
  }
  TRenderTargetWrapper bottom;
  bottom.surface = back;
  bottom.camera = targets_.empty() ? defaultCamera_ : targets_.front().camera;
  targets_.assign(1, bottom);
  clipRect_ = TIntRect{0, 0, width, height};
  ApplyTop();
  ready_ = true;
  UploadPending(uploadBudgetMs_);
  return true;
}

bool T3DScreen::EndScene(bool present) {
  TDeviceLock lock(DeviceMutex());
  if (!renderer_) return false;
  bool ok = renderer_->EndScene();
  if (ok && present) ok = renderer_->Present(nullptr, 0, nullptr);
  ready_ = false;
  return ok;
}

T3DSurface* T3DScreen::CurrentTarget() const {
  return targets_.empty() ? nullptr : targets_.back().surface.Get();
}

void T3DScreen::ApplyTop() {
  const TRenderTargetWrapper& top = targets_.back();
  int width = 0, height = 0;
  top.surface->Size(width, height);
  pixelScaleX_ = 1.0f / static_cast<float>(std::max(width, 1));
  pixelScaleY_ = 1.0f / static_cast<float>(std::max(height, 1));
  TMatrix world, view, projection;
  CameraMatrices(top.camera, world, view, projection);
  renderer_->SetTransform(TTransformKind::World, world);
  renderer_->SetTransform(TTransformKind::View, view);
  renderer_->SetTransform(TTransformKind::Projection, projection);
  renderer_->SetViewport(top.camera.viewport, 0, 1);
}

bool T3DScreen::PushRenderTarget(T3DSurface* surface, int offsetX, int offsetY) {
  TDeviceLock lock(DeviceMutex());
  VYR_ASSERT_MSG(surface && !targets_.empty(), "Render target stack");
  if (!renderer_ || !renderer_->SetRenderTarget(surface)) return false;
  TRenderTargetWrapper entry;
  entry.surface = TRef<T3DSurface>::Share(surface);
  entry.offsetX = offsetX;
  entry.offsetY = offsetY;
  int width = 0, height = 0;
  surface->Size(width, height);
  // Same eye; what lands at (x, y) in drawing coordinates lands at (x - offset) in the target.
  entry.camera.eye = Camera().eye;
  entry.camera.originX = offsetX;
  entry.camera.originY = offsetY;
  entry.camera.viewport = TIntRect{0, 0, width, height};
  targets_.push_back(entry);
  ApplyTop();
  return true;
}

void T3DScreen::PopRenderTarget() {
  TDeviceLock lock(DeviceMutex());
  VYR_ASSERT_MSG(targets_.size() > 1, "Render target stack");
  targets_.pop_back();
  if (!renderer_) return;
  renderer_->SetRenderTarget(targets_.size() == 1 ? nullptr : targets_.back().surface.Get());
  ApplyTop();
}

void T3DScreen::SetCamera(const TCamera& camera) {
  TDeviceLock lock(DeviceMutex());
  if (targets_.empty()) {
    defaultCamera_ = camera;
    return;
  }
  targets_.back().camera = camera;
  if (renderer_) ApplyTop();
}

const TCamera& T3DScreen::Camera() const {
  return targets_.empty() ? defaultCamera_ : targets_.back().camera;
}

bool T3DScreen::Clear(uint32_t colour, bool depth) {
  TDeviceLock lock(DeviceMutex());
  return renderer_ &&
         renderer_->Clear(nullptr, 0, cfTarget | (depth ? static_cast<uint32_t>(cfDepth) : 0u),
                          colour, 1);
}

bool T3DScreen::ClearRects(const TIntRect* rects, int count, uint32_t colour, bool depth) {
  TDeviceLock lock(DeviceMutex());
  if (count <= 0) return true;
  return renderer_ &&
         renderer_->Clear(rects, count, cfTarget | (depth ? static_cast<uint32_t>(cfDepth) : 0u),
                          colour, 1);
}

void T3DScreen::Register(TScreenResource* resource) {
  std::lock_guard guard(resourcesLock_);
  resources_.push_back(resource);
}

void T3DScreen::Unregister(TScreenResource* resource) {
  std::lock_guard guard(resourcesLock_);
  std::erase(resources_, resource);
}

std::vector<TCustomTexture*> T3DScreen::ManagedPictureTextures() {
  std::lock_guard guard(resourcesLock_);
  std::vector<TCustomTexture*> result;
  for (TScreenResource* resource : resources_)
    if (auto* texture = dynamic_cast<TCustomTexture*>(resource))
      if ((texture->Kind() == TTextureKind::Picture ||
           texture->Kind() == TTextureKind::GreyPicture) &&
          texture->HasDeviceTexture())
        result.push_back(texture);
  return result;
}

void T3DScreen::QueueUpload(TCustomTexture* texture) {
  std::lock_guard guard(resourcesLock_);
  for (const auto& queued : uploads_)
    if (queued.Get() == texture) return;
  uploads_.push_back(TRef<TCustomTexture>::Share(texture));
}

void T3DScreen::DropPendingUploads() {
  std::lock_guard guard(resourcesLock_);
  uploads_.clear();
}

int T3DScreen::UploadPending(double budgetMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::microseconds(static_cast<int64_t>(budgetMs * 1000));
  while (true) {
    TRef<TCustomTexture> next;
    {
      std::lock_guard guard(resourcesLock_);
      if (uploads_.empty()) return 0;
      next = uploads_.front();
    }
    const bool done = next->UploadStep(deadline);
    std::lock_guard guard(resourcesLock_);
    if (done) uploads_.erase(uploads_.begin());
    if (!done || Clock::now() >= deadline) return static_cast<int>(uploads_.size());
  }
}

}  // namespace vyr

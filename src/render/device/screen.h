#pragma once
// The device-independent screen the drawer uses: binds a renderer to a draw device and
// re-creates it when the window, monitor or mode changes or the device was lost; keeps
// the camera and the render-target stack; owns the device-independent resources, which
// give up their device objects on re-creation and make them again on use.

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "render/device/device3d.h"
#include "render/device/draw_device.h"
#include "scene/camera.h"

namespace vyr {

class TCustomTexture;

class TScreenResource {
 public:
  virtual ~TScreenResource() = default;
  virtual void ReleaseDeviceObjects() = 0;
  // Called at each BeginScene while the screen is ready (shaders re-create themselves).
  virtual void PrepareFrame() {}
};

struct TRenderTargetWrapper {
  TRef<T3DSurface> surface;
  int offsetX = 0, offsetY = 0;
  TCamera camera;
};

class T3DScreen : public TRefObject {
 public:
  explicit T3DScreen(T3DEngine& engine);
  T3DScreen();  // on the process's engine

  // Binds the screen to a draw device; a missing device is an internal error.
  void Attach(TDrawDevice* device);
  // Begins a frame; false when nothing can be drawn now.
  bool BeginScene();
  bool EndScene(bool present);
  bool Ready() const { return ready_; }
  T3DRenderer* Renderer() const { return renderer_.Get(); }
  TDrawDevice* Device() const { return device_; }
  int Adapter() const { return adapter_; }
  const TIntRect& DeviceRect() const { return deviceRect_; }
  // Frees the renderer; the next BeginScene makes a new one.
  void ReleaseRenderer();

  bool PushRenderTarget(T3DSurface* surface, int offsetX = 0, int offsetY = 0);
  void PopRenderTarget();
  int RenderTargetDepth() const { return static_cast<int>(targets_.size()); }
  T3DSurface* CurrentTarget() const;

  // Sets the camera of the current target and the renderer's transforms and viewport.
  void SetCamera(const TCamera& camera);
  const TCamera& Camera() const;
  TVec3 Project(const TVec3& point) const { return ProjectPoint(Camera(), point); }
  bool Unproject(float x, float y, const TVec3& a, const TVec3& b, const TVec3& c,
                 TVec3& result) const {
    return UnprojectPoint(Camera(), x, y, a, b, c, result);
  }
  float PixelScaleX() const { return pixelScaleX_; }
  float PixelScaleY() const { return pixelScaleY_; }
  const TIntRect& ClipRect() const { return clipRect_; }
  void SetClipRect(const TIntRect& rect) { clipRect_ = rect; }

  // Fill the whole target, or the rectangles, with colour (0xAARRGGBB).
  bool Clear(uint32_t colour, bool depth = false);
  bool ClearRects(const TIntRect* rects, int count, uint32_t colour, bool depth = false);

  void SetLostCallback(std::function<void()> callback) { lostCallback_ = std::move(callback); }

  // Device-independent resources.
  void Register(TScreenResource* resource);
  void Unregister(TScreenResource* resource);
  // Picture textures (kinds 0 and 3) that hold a device texture, in registration order.
  std::vector<TCustomTexture*> ManagedPictureTextures();
  // Pixel data prepared on another thread, uploaded by the drawing thread in BeginScene.
  void QueueUpload(TCustomTexture* texture);
  // Uploads queued textures until budgetMs has passed; the number still waiting.
  int UploadPending(double budgetMs);
  // Forgets the queue when no drawing thread will come for it (a queued texture keeps its
  // screen alive).
  void DropPendingUploads();
  void SetUploadBudget(double ms) { uploadBudgetMs_ = ms; }

 protected:
  void Dispose() override;

 private:
  class TKilledMessenger;
  TIntRect WantedRect(int& adapter);
  void Initialise();
  void ReleaseResources();
  void ApplyTop();

  T3DEngine& engine_;
  TDrawDevice* device_ = nullptr;
  TRef<TKilledMessenger> messenger_;
  TRef<T3DRenderer> renderer_;
  bool fullScreen_ = false;
  TIntRect deviceRect_;
  int adapter_ = 0;
  TIntRect clipRect_;
  float pixelScaleX_ = 1, pixelScaleY_ = 1;
  std::vector<TRenderTargetWrapper> targets_;
  TCamera defaultCamera_;
  bool firstFrame_ = true;
  bool ready_ = false;
  std::function<void()> lostCallback_;
  std::mutex resourcesLock_;
  std::vector<TScreenResource*> resources_;
  std::vector<TRef<TCustomTexture>> uploads_;
  double uploadBudgetMs_ = 4;
};

}  // namespace vyr

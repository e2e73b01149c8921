#pragma once
// The window-side draw target: its rectangle on the desktop, client size and full-screen
// state, the objects that attached themselves to it, and the renderers made on it.

#include <memory>
#include <vector>

#include "foundation/ref_object.h"
#include "platform/gl_context.h"
#include "scene/geometry.h"

namespace vyr {

class T3DRenderer;

// Something that lives only as long as its draw device (the renderer's GL store, the
// screen's killed-messenger, ...).
class TDeviceDependent : public TRefObject {
 public:
  // The device is going away; drop every reference to it.
  virtual void DeviceDestroyed() {}
};

class TDrawDevice : public TRefObject {
 public:
  const TIntRect& Bounds() const { return bounds_; }
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  bool FullScreen() const { return fullScreen_; }

  // Stores the values when any changed (two empty rectangles count as equal) and tells
  // every renderer on the device to update its bounds.
  virtual void SetBounds(const TIntRect& bounds, int clientWidth, int clientHeight,
                         bool fullScreen);
  virtual bool IsActive() { return true; }

  // A new OpenGL 3.3 core context drawing for this device; null when none can be had.
  virtual std::unique_ptr<TGlContext> CreateContext() = 0;
  // Switches the window between exclusive full screen, borderless full screen and windowed.
  virtual void ApplyWindowMode(bool fullScreen, bool exclusive) {
    (void)fullScreen;
    (void)exclusive;
  }
  // True for an offscreen device: nothing is presented and presents are not paced.
  virtual bool Headless() const { return false; }

  void AddDependent(TRef<TDeviceDependent> dependent);
  void RemoveDependent(TDeviceDependent* dependent);
  template <class T>
  T* FindDependent() const {
    for (const auto& d : dependents_)
      if (auto* p = dynamic_cast<T*>(d.Get())) return p;
    return nullptr;
  }
  void AddRenderer(T3DRenderer* renderer);
  void RemoveRenderer(T3DRenderer* renderer);
  const std::vector<T3DRenderer*>& Renderers() const { return renderers_; }

 protected:
  // Frees the dependents and detaches the renderers.
  void Dispose() override;

  TIntRect bounds_;
  int clientWidth_ = 0, clientHeight_ = 0;
  bool fullScreen_ = false;

 private:
  std::vector<TRef<TDeviceDependent>> dependents_;
  std::vector<T3DRenderer*> renderers_;
};

}  // namespace vyr

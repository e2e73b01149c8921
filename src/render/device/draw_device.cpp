#include "render/device/draw_device.h"

#include <algorithm>

#include "render/device/device3d.h"
#include "render/device/device_lock.h"

namespace vyr {

void TDrawDevice::SetBounds(const TIntRect& bounds, int clientWidth, int clientHeight,
                            bool fullScreen) {
  if (SameRect(bounds, bounds_) && clientWidth == clientWidth_ && clientHeight == clientHeight_ &&
      fullScreen == fullScreen_)
    return;
  bounds_ = bounds;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  fullScreen_ = fullScreen;
  TDeviceLock lock(DeviceMutex());
  for (T3DRenderer* renderer : renderers_) renderer->UpdateBounds();
}

void TDrawDevice::AddDependent(TRef<TDeviceDependent> dependent) {
  dependents_.push_back(std::move(dependent));
}

void TDrawDevice::RemoveDependent(TDeviceDependent* dependent) {
  auto it = std::find_if(dependents_.begin(), dependents_.end(),
                         [&](const TRef<TDeviceDependent>& d) { return d.Get() == dependent; });
  if (it == dependents_.end()) return;
  TRef<TDeviceDependent> keep = *it;  // released after the list no longer holds it
  dependents_.erase(it);
}

void TDrawDevice::AddRenderer(T3DRenderer* renderer) { renderers_.push_back(renderer); }

void TDrawDevice::RemoveRenderer(T3DRenderer* renderer) { std::erase(renderers_, renderer); }

void TDrawDevice::Dispose() {
  TDeviceLock lock(DeviceMutex());
  auto renderers = std::move(renderers_);
  for (T3DRenderer* renderer : renderers) renderer->DetachDevice();
  auto dependents = std::move(dependents_);
  for (auto& dependent : dependents) dependent->DeviceDestroyed();
  dependents.clear();
}

}  // namespace vyr

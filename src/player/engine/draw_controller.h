#pragma once
// The engine's hold on drawing: the frame drawer on the draw device, and the state the
// engine asks for every step (window active, redraw needed, device lost, screen ready).

#include <atomic>

#include "render/compose/t3d_drawer.h"
#include "render/device/draw_device.h"

namespace vyr {

class TVyrDrawController : public TRefObject {
 public:
  enum TStateBits : int { kScreenReady = 1, kDeviceLost = 2, kRedraw = 4, kWindowActive = 8 };

  // The controller keeps a reference to the device; the device goes when the last one does.
  explicit TVyrDrawController(TRef<TDrawDevice> device);

  // Creates the drawer on first use and attaches the device. Runs on the drawing thread.
  void Initialise();
  int GetState();
  // The device asks for a new frame (its window was exposed or resized).
  void DeviceRefresh();
  // The screen is to count as re-created at its next ready frame (the size changed).
  void MarkLost() { RndLost(); }

  T3DDrawer* Drawer() const { return drawer_.Get(); }
  TDrawDevice* Device() const { return device_.Get(); }

 protected:
  void Dispose() override;

 private:
  class TKilledMessenger;
  void RndLost();

  TRef<T3DDrawer> drawer_;
  TRef<TDrawDevice> device_;
  TRef<TKilledMessenger> messenger_;
  std::atomic<bool> lost_{false};
  std::atomic<bool> refreshRequested_{false};
};

}  // namespace vyr

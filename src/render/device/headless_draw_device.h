#pragma once
// The draw device of headless rendering: an offscreen frame of a given size on a
// surfaceless EGL context. Frames are read back from the back buffer.

#include "render/device/draw_device.h"

namespace vyr {

class THeadlessDrawDevice : public TDrawDevice {
 public:
  THeadlessDrawDevice(int width, int height);
  std::unique_ptr<TGlContext> CreateContext() override;
  bool Headless() const override { return true; }
  void SetSize(int width, int height);
};

}  // namespace vyr

#include "render/device/headless_draw_device.h"

#include "foundation/log.h"
#include "platform/egl_headless_context.h"

namespace vyr {

THeadlessDrawDevice::THeadlessDrawDevice(int width, int height) {
  bounds_ = TIntRect{0, 0, width, height};
  clientWidth_ = width;
  clientHeight_ = height;
}

std::unique_ptr<TGlContext> THeadlessDrawDevice::CreateContext() {
  auto context = TEglHeadlessContext::Create(clientWidth_, clientHeight_);
  if (!context) WriteLine("THeadlessDrawDevice: " + TEglHeadlessContext::LastEglError());
  return context;
}

void THeadlessDrawDevice::SetSize(int width, int height) {
  SetBounds(TIntRect{0, 0, width, height}, width, height, false);
}

}  // namespace vyr

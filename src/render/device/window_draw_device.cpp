#include "render/device/window_draw_device.h"

#include <SDL2/SDL.h>

#include "foundation/log.h"

namespace vyr {

TRef<TWindowDrawDevice> TWindowDrawDevice::Create(const std::string& title, const TIntRect& bounds,
                                                  bool hidden) {
  if (!SdlVideoInit()) return nullptr;
  TRef<TWindowDrawDevice> device = TRef<TWindowDrawDevice>::Adopt(new TWindowDrawDevice());
  device->videoStarted_ = true;
  device->window_ = TSdlGlWindow::Create(title, bounds.left, bounds.top, bounds.Width(),
                                         bounds.Height(), TWindowMode::Windowed, hidden);
  if (!device->window_) return nullptr;
  device->SyncBounds();
  return device;
}

std::unique_ptr<TGlContext> TWindowDrawDevice::CreateContext() {
  return window_ ? window_->CreateContext() : nullptr;
}

bool TWindowDrawDevice::IsActive() { return window_ && window_->HasFocus(); }

void TWindowDrawDevice::ApplyWindowMode(bool fullScreen, bool exclusive) {
  if (!window_) return;
  if (fullScreen && window_->Mode() == TWindowMode::Windowed) remembered_ = bounds_;
  window_->SetMode(!fullScreen ? TWindowMode::Windowed
                   : exclusive ? TWindowMode::Exclusive
                               : TWindowMode::Borderless);
  if (!fullScreen && !remembered_.Empty()) {
    SDL_SetWindowPosition(window_->Handle(), remembered_.left, remembered_.top);
    SDL_SetWindowSize(window_->Handle(), remembered_.Width(), remembered_.Height());
  }
}

void TWindowDrawDevice::SyncBounds() {
  int left = 0, top = 0, width = 0, height = 0;
  window_->Bounds(left, top, width, height);
  int drawableWidth = width, drawableHeight = height;
  SDL_GL_GetDrawableSize(window_->Handle(), &drawableWidth, &drawableHeight);
  SetBounds(TIntRect{left, top, left + width, top + height}, drawableWidth, drawableHeight,
            window_->Mode() != TWindowMode::Windowed);
}

void TWindowDrawDevice::Dispose() {
  TDrawDevice::Dispose();  // the GL context goes before its window
  window_.reset();
  if (videoStarted_) SdlVideoQuit();
}

}  // namespace vyr

#pragma once
// A pool of render targets of one size (`TRenderTargetManager`): the drawer keeps one at the
// window's size and one at half of it. Targets hold premultiplied colour, so what is drawn
// into them composes back with source factor one.

#include <vector>

#include "render/device/custom_texture.h"

namespace vyr {

class TRenderTargetManager {
 public:
  // divisor 1: full size; 2: half size, rounded down.
  TRenderTargetManager(T3DScreen& screen, int divisor) : screen_(&screen), divisor_(divisor) {}

  // The window's size; a change drops the pooled targets.
  void SetWindowSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Texture coordinates of the pool size's bottom-right corner in one of its targets.
  float MaxU(const TCustomTexture& target) const {
    return static_cast<float>(width_) * target.TexelScaleX();
  }
  float MaxV(const TCustomTexture& target) const {
    return static_cast<float>(height_) * target.TexelScaleY();
  }

  // A target of the pool's size (made when none is free); null when none can be made.
  TRef<TCustomTexture> Acquire();
  void Release(TRef<TCustomTexture> target);
  void Clear() { free_.clear(); }

 private:
  T3DScreen* screen_;
  int divisor_;
  int width_ = 0, height_ = 0;
  std::vector<TRef<TCustomTexture>> free_;
};

// Returns a target to its pool when it goes out of scope.
class TPooledTarget {
 public:
  explicit TPooledTarget(TRenderTargetManager& pool) : pool_(pool), target_(pool.Acquire()) {}
  ~TPooledTarget() {
    if (target_) pool_.Release(std::move(target_));
  }
  TPooledTarget(const TPooledTarget&) = delete;
  TPooledTarget& operator=(const TPooledTarget&) = delete;

  TCustomTexture* Get() const { return target_.Get(); }
  explicit operator bool() const { return target_ && target_->DeviceTexture(); }
  T3DTexture* Texture() const { return target_ ? target_->DeviceTexture() : nullptr; }
  // Texture coordinates of the pool size's bottom-right corner.
  float MaxU() const { return pool_.MaxU(*target_); }
  float MaxV() const { return pool_.MaxV(*target_); }

 private:
  TRenderTargetManager& pool_;
  TRef<TCustomTexture> target_;
};

}  // namespace vyr

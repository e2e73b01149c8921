#include "render/compose/render_target_pool.h"

#include <algorithm>

namespace vyr {

void TRenderTargetManager::SetWindowSize(int width, int height) {
  const int w = std::max(1, width / divisor_), h = std::max(1, height / divisor_);
  if (w == width_ && h == height_) return;
  width_ = w;
  height_ = h;
  free_.clear();
}

TRef<TCustomTexture> TRenderTargetManager::Acquire() {
  if (!free_.empty()) {
    TRef<TCustomTexture> target = std::move(free_.back());
    free_.pop_back();
    return target;
  }
  TRef<TCustomTexture> target =
      MakeRef<TCustomTexture>(*screen_, TTextureKind::TargetAlpha, width_, height_);
  target->premultiplied = true;
  return target;
}

void TRenderTargetManager::Release(TRef<TCustomTexture> target) {
  if (target && target->Width() == width_ && target->Height() == height_)
    free_.push_back(std::move(target));
}

}  // namespace vyr

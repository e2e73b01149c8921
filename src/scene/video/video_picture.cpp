#include "scene/video/video_picture.h"

#include <algorithm>

namespace vyr {

namespace {
// Rows start on 32-byte boundaries (the texture upload takes whole 4-byte rows).
int AlignedPitch(int bytes) { return (bytes + 31) & ~31; }
}  // namespace

TVideoPicture::TVideoPicture(int width, int height, TVideoKind kind)
    : width_(std::clamp(width, 1, kMaxVideoSide)),
      height_(std::clamp(height, 1, kMaxVideoSide)),
      kind_(kind) {
  for (int p = 0; p < PlaneCount(); ++p) {
    const int bytesPerPixel = kind_ == TVideoKind::Rgba ? 4 : 1;
    pitch_[p] = AlignedPitch(PlaneWidth(p) * bytesPerPixel);
    // Black in either form: Y 16, U and V 128; BGRA zero with full alpha is set by the writer.
    const uint8_t fill = kind_ == TVideoKind::Rgba ? 0 : (p == 0 ? 16 : 128);
    planes_[p].assign(static_cast<size_t>(pitch_[p]) * PlaneHeight(p), fill);
  }
}

int TVideoPicture::PlaneWidth(int plane) const {
  return plane == 0 || kind_ == TVideoKind::Rgba ? width_ : (width_ + 1) / 2;
}

int TVideoPicture::PlaneHeight(int plane) const {
  return plane == 0 || kind_ == TVideoKind::Rgba ? height_ : (height_ + 1) / 2;
}

void TVideoPicture::SetLostHandler(std::function<void()> handler) {
  std::lock_guard guard(handlerLock_);
  lostHandler_ = std::move(handler);
}

void TVideoPicture::ReportLost() {
  std::function<void()> handler;
  {
    std::lock_guard guard(handlerLock_);
    handler = lostHandler_;
  }
  SetValid(false);
  if (handler) handler();
}

}  // namespace vyr

#include "render/compose/video_textures.h"

#include <algorithm>

namespace vyr {

namespace {

uint16_t Rgb565(int r, int g, int b) {
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

uint8_t Clamp255(double v) { return static_cast<uint8_t>(std::clamp(static_cast<int>(v), 0, 255)); }

}  // namespace

T3DYUV::T3DYUV(int width, int height, TVideoKind kind, T3DScreen& screen,
               std::shared_ptr<TVideoPictureList> list)
    : TVideoPicture(width, height, kind), screen_(&screen), list_(std::move(list)) {
  screen_->Register(this);
  std::lock_guard guard(list_->lock);
  list_->pictures.push_back(this);
}

void T3DYUV::Dispose() {
  {
    std::lock_guard guard(list_->lock);
    auto& p = list_->pictures;
    p.erase(std::remove(p.begin(), p.end(), this), p.end());
    if (!list_->drawerGone && screen_) screen_->Unregister(this);
  }
  ReleaseDeviceObjects();
  TVideoPicture::Dispose();
}

void T3DYUV::ReleaseDeviceObjects() {
  std::lock_guard guard(texturesLock_);
  for (auto& texture : textures_) texture.Reset();
  uploaded_ = 0;
}

void T3DYUV::DrawerGone() {
  if (screen_) screen_->Unregister(this);
  screen_ = nullptr;
  ReleaseDeviceObjects();
  ReportLost();
}

bool T3DYUV::MakeTextures(T3DRenderer& renderer) {
  converted16_ = false;
  if (Kind() == TVideoKind::Rgba) {
    textures_[0] = renderer.CreateTexture(TTextureKind::Picture, Width(), Height(), false);
    return static_cast<bool>(textures_[0]);
  }
  for (int p = 0; p < 3; ++p)
    textures_[p] =
        renderer.CreateTexture(TTextureKind::GreyPicture, PlaneWidth(p), PlaneHeight(p), false);
  if (textures_[0] && textures_[1] && textures_[2]) {
    for (auto& t : textures_) t->SetAddressing(TAddressing::Clamp, TAddressing::Clamp);
    return true;
  }
  // No one-channel textures: one 16-bit picture converted here.
  for (auto& t : textures_) t.Reset();
  textures_[0] = renderer.CreateTexture(TTextureKind::Picture565, Width(), Height(), false);
  converted16_ = static_cast<bool>(textures_[0]);
  return converted16_;
}

bool T3DYUV::Upload(T3DRenderer& renderer) {
  std::lock_guard guard(texturesLock_);
  if (!textures_[0] && !MakeTextures(renderer)) return false;
  const uint64_t revision = Revision();
  if (revision == uploaded_) return true;
  bool ok = true;
  if (converted16_) {
    // Plain BT.601 limited range, as the cube does without colour management.
    const int w = Width(), h = Height();
    rgb16_.resize(static_cast<size_t>(w) * h * 2);
    auto* out = reinterpret_cast<uint16_t*>(rgb16_.data());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const double l = (Plane(0)[y * Pitch(0) + x] - 16) * 1.1643835616438356;
        const double u = Plane(1)[(y / 2) * Pitch(1) + x / 2] - 128;
        const double v = Plane(2)[(y / 2) * Pitch(2) + x / 2] - 128;
        out[y * w + x] = Rgb565(Clamp255(l + 1.596 * v), Clamp255(l - 0.813 * v - 0.391 * u),
                                Clamp255(l + 2.018 * u));
      }
    ok = textures_[0]->WriteRect(0, TIntRect{0, 0, w, h}, rgb16_.data(), w * 2);
  } else {
    for (int p = 0; p < PlaneCount() && ok; ++p)
      ok = textures_[p]->WriteRect(0, TIntRect{0, 0, PlaneWidth(p), PlaneHeight(p)}, Plane(p),
                                   Pitch(p));
  }
  if (ok) uploaded_ = revision;
  return ok;
}

}  // namespace vyr

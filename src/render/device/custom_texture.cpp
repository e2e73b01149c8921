#include "render/device/custom_texture.h"

#include <bit>
#include <cstring>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "render/device/device_lock.h"

namespace vyr {
namespace {

constexpr int kUploadBandBytes = 1 << 20;  // rows per upload step: about a megabyte

// Render targets that do not fit: free the managed picture textures from the end of the
// list, a half at a time (positions n-1 .. n/2, then n/2-1 .. n/4, ...), retrying after each.
TRef<T3DTexture> CreateWithEviction(T3DScreen& screen, TTextureKind kind, int width, int height,
                                    TCustomTexture* self) {
  T3DRenderer* renderer = screen.Renderer();
  TRef<T3DTexture> texture = renderer->CreateTexture(kind, width, height, false);
  GlobalLog().WriteBoolean("Rt Create First Attempt Ok= ", static_cast<bool>(texture));
  if (texture || renderer->LastError() != TDeviceError::OutOfVideoMemory) return texture;
  std::vector<TCustomTexture*> managed = screen.ManagedPictureTextures();
  std::erase(managed, self);
  const int n = static_cast<int>(managed.size());
  for (int s = 1; (1 << (s - 1)) < n && !texture; ++s) {
    const int from = (n >> (s - 1)) - 1, to = n >> s;
    for (int i = from; i >= to; --i) managed[static_cast<size_t>(i)]->FreeDeviceTexture();
    texture = renderer->CreateTexture(kind, width, height, false);
    WriteLine("Released Managed Texs from " + std::to_string(from) + " to " + std::to_string(to) +
              "; Rt Create " + std::to_string(s) +
              "nd Attempt Ok= " + FormatBoolean(static_cast<bool>(texture)));
  }
  return texture;
}

}  // namespace

int AllocatedTextureSize(int size) {
  return static_cast<int>(std::bit_ceil(static_cast<unsigned>(std::max(size, 32))));
}

TCustomTexture::TCustomTexture(T3DScreen& screen, TTextureKind kind, int width, int height,
                               bool mipmaps)
    : screen_(TRef<T3DScreen>::Share(&screen)), kind_(kind), mipmaps_(mipmaps) {
  VYR_ASSERT_MSG(static_cast<unsigned>(kind) < static_cast<unsigned>(kTextureKindCount),
                 "Wrong texture kind");
  width_ = width;
  height_ = height;
  allocatedWidth_ = AllocatedTextureSize(width);
  allocatedHeight_ = AllocatedTextureSize(height);
  screen.Register(this);
}

void TCustomTexture::Dispose() {
  screen_->Unregister(this);
  FreeDeviceTexture();
  screen_.Reset();
}

void TCustomTexture::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  FreeDeviceTexture();
  std::lock_guard guard(pixelsLock_);
  levels_.clear();
  width_ = width;
  height_ = height;
  allocatedWidth_ = AllocatedTextureSize(width);
  allocatedHeight_ = AllocatedTextureSize(height);
}

void TCustomTexture::FreeDeviceTexture() {
  TDeviceLock lock(DeviceMutex());
  texture_.Reset();
  uploaded_ = false;
  uploadLevel_ = 0;
  uploadRow_ = 0;
}

bool TCustomTexture::CreateDeviceTexture() {
  T3DRenderer* renderer = screen_->Renderer();
  if (!renderer || renderer->IsLost() || !renderer->OnDeviceThread()) return false;
  if (IsRenderTargetKind(kind_)) {
    texture_ = CreateWithEviction(*screen_, kind_, allocatedWidth_, allocatedHeight_, this);
    uploaded_ = static_cast<bool>(texture_);
  } else {
    texture_ = renderer->CreateTexture(kind_, allocatedWidth_, allocatedHeight_, mipmaps_);
  }
  if (texture_) texture_->premultiplied = premultiplied;
  uploadLevel_ = 0;
  uploadRow_ = 0;
  return static_cast<bool>(texture_);
}

bool TCustomTexture::EnsureTexture() {
  TDeviceLock lock(DeviceMutex());
  return texture_ || CreateDeviceTexture();
}

T3DTexture* TCustomTexture::DeviceTexture() {
  TDeviceLock lock(DeviceMutex());
  if (!EnsureTexture()) return nullptr;
  if (!uploaded_ && !Upload()) return nullptr;
  return texture_.Get();
}

void TCustomTexture::PrepareLevels() {
  if (IsRenderTargetKind(kind_)) return;
  std::lock_guard guard(pixelsLock_);
  if (!levels_.empty()) return;
  const TSurfaceFormat format = KindFormat(kind_);
  TPixelLevel top;
  top.width = allocatedWidth_;
  top.height = allocatedHeight_;
  top.pitch = allocatedWidth_ * BytesPerPixel(format);
  top.bits.assign(static_cast<size_t>(top.pitch) * static_cast<size_t>(top.height), 0);
  TLockedPixels view;
  view.bits = top.bits.data();
  view.pitch = top.pitch;
  view.width = top.width;
  view.height = top.height;
  view.format = format;
  FillLevel0(view);
  levels_.push_back(std::move(top));
  if (mipmaps_)
    while (levels_.back().width > 1 || levels_.back().height > 1)
      levels_.push_back(HalveLevel(levels_.back(), format));
}

bool TCustomTexture::WriteLevel0Rect(const TIntRect& texels, const uint8_t* bits, int pitch) {
  TDeviceLock lock(DeviceMutex());
  if (!texture_ || !uploaded_ || mipmaps_) return false;
  return texture_->WriteRect(0, texels, bits, pitch);
}

bool TCustomTexture::Upload() { return UploadStep(std::chrono::steady_clock::time_point::max()); }

bool TCustomTexture::UploadStep(std::chrono::steady_clock::time_point deadline) {
  TDeviceLock lock(DeviceMutex());
  if (!EnsureTexture()) return false;
  if (uploaded_) return true;
  PrepareLevels();
  std::lock_guard guard(pixelsLock_);
  const int levelCount = std::min(texture_->LevelCount(), static_cast<int>(levels_.size()));
  while (uploadLevel_ < levelCount) {
    const TPixelLevel& level = levels_[static_cast<size_t>(uploadLevel_)];
    const int band = std::max(1, kUploadBandBytes / std::max(level.pitch, 1));
    while (uploadRow_ < level.height) {
      const int rows = std::min(band, level.height - uploadRow_);
      const TIntRect rect{0, uploadRow_, level.width, uploadRow_ + rows};
      if (!texture_->WriteRect(uploadLevel_, rect,
                               level.bits.data() + static_cast<size_t>(uploadRow_) * level.pitch,
                               level.pitch))
        return false;
      uploadRow_ += rows;
      if (std::chrono::steady_clock::now() >= deadline &&
          (uploadRow_ < level.height || uploadLevel_ + 1 < levelCount))
        return false;
    }
    ++uploadLevel_;
    uploadRow_ = 0;
  }
  uploaded_ = true;
  levels_.clear();
  levels_.shrink_to_fit();
  return true;
}

void TCustomTexture::Preload() {
  T3DRenderer* renderer = screen_->Renderer();
  if (renderer && renderer->OnDeviceThread()) {
    DeviceTexture();
    return;
  }
  PrepareLevels();
  screen_->QueueUpload(this);
}

TPixelTexture::TPixelTexture(T3DScreen& screen, TTextureKind kind, const void* bits, int pitch,
                             int width, int height, bool mipmaps)
    : TCustomTexture(screen, kind, width, height, mipmaps), pitch_(pitch) {
  VYR_ASSERT_MSG(IsManagedKind(kind), "Wrong texture kind");
  const auto* source = static_cast<const uint8_t*>(bits);
  pixels_.assign(source, source + static_cast<size_t>(pitch) * static_cast<size_t>(height));
}

void TPixelTexture::FillLevel0(TLockedPixels& level0) {
  const size_t rowBytes =
      static_cast<size_t>(Width()) * static_cast<size_t>(BytesPerPixel(level0.format));
  for (int y = 0; y < Height(); ++y)
    std::memcpy(level0.Row(y), pixels_.data() + static_cast<size_t>(y) * pitch_, rowBytes);
}

}  // namespace vyr

#pragma once
// Device-independent textures: they register with the screen, make their device texture
// on use, and give it up when the device is re-created. Sizes are allocated in powers of
// two, at least 32 per side. Picture kinds are filled by the subclass (level 0) and reduced
// by 2 x 2 box averages for the further levels.
//
// Threads: pixel data may be prepared on any thread (Preload off the drawing thread does
// that and queues the texture); only the drawing thread talks to OpenGL (see gl_store.h).

#include <chrono>
#include <mutex>
#include <vector>

#include "render/device/mip_levels.h"
#include "render/device/screen.h"

namespace vyr {

// Smallest power of two >= size, at least 32.
int AllocatedTextureSize(int size);

class TCustomTexture : public TRefObject, public TScreenResource {
 public:
  TCustomTexture(T3DScreen& screen, TTextureKind kind, int width, int height, bool mipmaps = false);

  // 1. The device texture, made (and for picture kinds uploaded) when missing. Only on the
  // drawing thread; null elsewhere or when it cannot be made.
  virtual T3DTexture* DeviceTexture();
  // 2. A new size frees the device texture.
  virtual void SetSize(int width, int height);
  // 3. Fills level 0 (allocated size, zeroed, top row first) from the picture.
  virtual void FillLevel0(TLockedPixels& level0) { (void)level0; }
  // 4. Fills all levels of the device texture now.
  virtual bool Upload();
  // 5.
  virtual void FreeDeviceTexture();
  // 6. Drawing thread: makes and uploads now. Other threads: prepares the pixel data and
  // queues the upload for the drawing thread's next frames.
  virtual void Preload();

  void ReleaseDeviceObjects() override { FreeDeviceTexture(); }

  // Computes every level's pixels from FillLevel0 (any thread; idempotent until uploaded).
  void PrepareLevels();
  // Uploads prepared levels in bands of rows until the deadline; true when done.
  bool UploadStep(std::chrono::steady_clock::time_point deadline);
  bool HasDeviceTexture() const { return static_cast<bool>(texture_); }
  // Writes level 0 texels of an uploaded texture without mipmaps in place; false when there
  // is nothing to write into (the caller then lets the texture be made again).
  bool WriteLevel0Rect(const TIntRect& texels, const uint8_t* bits, int pitch);
  bool Uploaded() const { return texture_ && uploaded_; }

  TTextureKind Kind() const { return kind_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int AllocatedWidth() const { return allocatedWidth_; }
  int AllocatedHeight() const { return allocatedHeight_; }
  float TexelScaleX() const { return 1.0f / static_cast<float>(allocatedWidth_); }
  float TexelScaleY() const { return 1.0f / static_cast<float>(allocatedHeight_); }
  bool Mipmaps() const { return mipmaps_; }
  T3DScreen& Screen() const { return *screen_; }

  bool premultiplied = false;
  uint8_t opacity = 255;

 protected:
  void Dispose() override;

 private:
  bool CreateDeviceTexture();
  bool EnsureTexture();

  TRef<T3DScreen> screen_;
  TTextureKind kind_;
  int width_ = 0, height_ = 0;
  int allocatedWidth_ = 32, allocatedHeight_ = 32;
  bool mipmaps_ = false;
  TRef<T3DTexture> texture_;
  bool uploaded_ = false;

  std::mutex pixelsLock_;
  std::vector<TPixelLevel> levels_;  // prepared pixels, freed after upload
  int uploadLevel_ = 0, uploadRow_ = 0;
};

// A picture texture over pixels given by the caller (copied): rows `pitch` bytes apart,
// top row first, in the memory layout of the kind's format.
class TPixelTexture : public TCustomTexture {
 public:
  TPixelTexture(T3DScreen& screen, TTextureKind kind, const void* bits, int pitch, int width,
                int height, bool mipmaps = false);
  void FillLevel0(TLockedPixels& level0) override;

 private:
  std::vector<uint8_t> pixels_;
  int pitch_ = 0;
};

}  // namespace vyr

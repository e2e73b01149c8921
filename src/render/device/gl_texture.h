#pragma once
// Textures and surfaces on OpenGL. Memory row 0 of every texture and framebuffer object is
// the top row of the picture, as in Direct3D: pictures upload top row first, render targets
// are drawn with the same row order (see gl_renderer.h), so sampling a render target needs
// no flip and read-back returns top row first. Only presenting to a window flips.

#include <epoxy/gl.h>

#include <vector>

#include "render/device/device3d.h"
#include "render/device/gl_store.h"

namespace vyr {

class T3DTextureGL : public T3DTexture, public TGlResource {
 public:
  // levels: 1, or 0 for the full chain. Fails with the error class in `error`.
  static TRef<T3DTextureGL> Create(TGlStore& store, TTextureKind kind, int width, int height,
                                   int levels, TDeviceError& error);

  int LevelCount() const override { return levels_; }
  TRef<T3DSurface> Level(int index) override;
  void Preload() override {}
  void SetAddressing(TAddressing u, TAddressing v) override {
    addressU_ = u;
    addressV_ = v;
  }
  void GetAddressing(TAddressing& u, TAddressing& v) const override {
    u = addressU_;
    v = addressV_;
  }
  void SetFilter(TFilter filter) override { filter_ = filter; }
  TFilter GetFilter() const override { return filter_; }
  void SetMipmapping(bool on) override { mipmapping_ = on; }
  void SetLodBias(float bias) override { lodBias_ = bias; }
  bool WriteRect(int level, const TIntRect& rect, const uint8_t* bits, int pitch) override {
    return Upload(level, rect.left, rect.top, rect.Width(), rect.Height(), bits, pitch);
  }
  void ReleaseGl(bool deleteNames) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int LevelWidth(int level) const { return std::max(1, width_ >> level); }
  int LevelHeight(int level) const { return std::max(1, height_ >> level); }
  TSurfaceFormat Format() const { return format_; }
  GLuint Name() const { return name_; }
  TGlStore* Store() const { return store_; }
  bool Alive() const { return store_ && name_; }

  // Binds to the current texture unit with DrawVertexList's sampler rules.
  void ApplyDrawSampling(bool anisotropy, float maxAnisotropy, bool lodBias);
  // Binds to the current texture unit with SetTexture's rules (linear, clamp).
  void ApplyShaderSampling();
  // Framebuffer object drawing into a level (made on first use); 0 when it cannot be.
  GLuint Framebuffer(int level);
  bool Upload(int level, int x, int y, int width, int height, const uint8_t* bits, int pitch);
  bool Read(int level, const TIntRect& rect, TLockedPixels& pixels);
  // The whole level into rows `pitch` bytes apart (4-byte formats only).
  bool ReadRows(int level, uint8_t* bits, int pitch);

 protected:
  void Dispose() override;

 private:
  T3DTextureGL() = default;
  // The rectangle of a level into rows `pitch` bytes apart; the caller holds the device lock.
  bool ReadPixels(int level, const TIntRect& rect, uint8_t* bits, int pitch);
  TGlStore* store_ = nullptr;
  GLuint name_ = 0;
  std::vector<GLuint> framebuffers_;
  int width_ = 0, height_ = 0, levels_ = 1;
  size_t bytes_ = 0;
  TSurfaceFormat format_ = TSurfaceFormat::A8R8G8B8;
  TAddressing addressU_ = TAddressing::Clamp, addressV_ = TAddressing::Clamp;
  TFilter filter_ = TFilter::Linear;
  bool mipmapping_ = false;
  float lodBias_ = 0;
};

// A level of a texture (the back buffer is a texture too).
class T3DSurfaceGL : public T3DSurface {
 public:
  T3DSurfaceGL(TRef<T3DTextureGL> texture, int level)
      : texture_(std::move(texture)), level_(level) {}
  bool ReadInto(TLockedPixels& target) override;
  bool ReadRows(uint8_t* bits, int pitch) override;
  void Size(int& width, int& height) const override;
  TSurfaceFormat Format() const override { return texture_->Format(); }
  bool Lock(const TIntRect* rect, bool readOnly, TLockedPixels& pixels) override;
  void Unlock(TLockedPixels& pixels) override;
  bool SameAs(const T3DSurface& other) const override;

  T3DTextureGL* Texture() const { return texture_.Get(); }
  int LevelIndex() const { return level_; }
  GLuint Framebuffer() { return texture_->Framebuffer(level_); }

 private:
  TRef<T3DTextureGL> texture_;
  int level_;
  TIntRect lockedRect_;
  bool lockedForWrite_ = false;
};

// One-level A8R8G8B8 volume texture (GL_TEXTURE_3D).
class TVolumeTextureGL : public TVolumeTexture, public TGlResource {
 public:
  static TRef<TVolumeTextureGL> Create(TGlStore& store, int width, int height, int depth,
                                       TDeviceError& error);
  int LevelCount() const override { return 1; }
  bool LockBox(int level, const TBox& box, TLockedPixels& pixels) override;
  void UnlockBox(int level, TLockedPixels& pixels) override;
  void ReleaseGl(bool deleteNames) override;
  GLuint Name() const { return name_; }
  bool Alive() const { return store_ && name_; }

 protected:
  void Dispose() override;

 private:
  TVolumeTextureGL() = default;
  TGlStore* store_ = nullptr;
  GLuint name_ = 0;
  int width_ = 0, height_ = 0, depth_ = 0;
  TBox lockedBox_;
};

}  // namespace vyr

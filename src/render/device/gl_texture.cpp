#include "render/device/gl_texture.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "render/device/device_lock.h"
#include "render/device/gl_formats.h"

namespace vyr {
namespace {

GLint WrapMode(TAddressing a) {
  switch (a) {
    case TAddressing::Wrap:
      return GL_REPEAT;
    case TAddressing::Mirror:
      return GL_MIRRORED_REPEAT;
    case TAddressing::Clamp:
      break;
  }
  return GL_CLAMP_TO_EDGE;
}

int FullChain(int width, int height) {
  return std::bit_width(static_cast<unsigned>(std::max(width, height)));
}

// Alpha 255 in every B, G, R, A pixel of a row: where the alpha byte is a word's top byte,
// four words at a time (the compiler leaves a plain loop of words scalar).
void SetOpaque(uint8_t* row, int width) {
  if constexpr (std::endian::native == std::endian::little) {
    using TFourWords = uint32_t __attribute__((vector_size(16)));
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      TFourWords words;
      std::memcpy(&words, row + 4 * x, sizeof words);
      words |= 0xFF000000u;
      std::memcpy(row + 4 * x, &words, sizeof words);
    }
    for (; x < width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * x, 4);
      pixel |= 0xFF000000u;
      std::memcpy(row + 4 * x, &pixel, 4);
    }
  } else {
    for (int x = 0; x < width; ++x) row[4 * x + 3] = 255;
  }
}

void DeleteNames(GLuint texture, std::vector<GLuint> framebuffers) {
  if (!framebuffers.empty())
    glDeleteFramebuffers(static_cast<GLsizei>(framebuffers.size()), framebuffers.data());
  if (texture) glDeleteTextures(1, &texture);
}

}  // namespace

TRef<T3DTextureGL> T3DTextureGL::Create(TGlStore& store, TTextureKind kind, int width, int height,
                                        int levels, TDeviceError& error) {
  TDeviceLock lock(DeviceMutex());
  error = TDeviceError::InvalidCall;
  if (width <= 0 || height <= 0 || !store.Bind()) return nullptr;
  if (store.simulatedOutOfMemory > 0) {
    --store.simulatedOutOfMemory;
    error = TDeviceError::OutOfVideoMemory;
    return nullptr;
  }
  TRef<T3DTextureGL> t = TRef<T3DTextureGL>::Adopt(new T3DTextureGL());
  t->kind = kind;
  t->format_ = KindFormat(kind);
  t->hasAlpha = t->format_ == TSurfaceFormat::A8R8G8B8;
  t->width_ = width;
  t->height_ = height;
  t->levels_ = levels == 0 ? FullChain(width, height) : 1;
  const TGlFormat& f = GlFormat(t->format_);
  TakeGlError();
  glGenTextures(1, &t->name_);
  glBindTexture(GL_TEXTURE_2D, t->name_);
  for (int level = 0; level < t->levels_; ++level) {
    glTexImage2D(GL_TEXTURE_2D, level, f.internalFormat, t->LevelWidth(level),
                 t->LevelHeight(level), 0, f.format, f.type, nullptr);
    t->bytes_ += TextureBytes(t->format_, t->LevelWidth(level), t->LevelHeight(level));
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, t->levels_ - 1);
  glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, 0);
  error = TakeGlError();
  if (error != TDeviceError::Ok) {
    glDeleteTextures(1, &t->name_);
    t->name_ = 0;
    return nullptr;
  }
  t->framebuffers_.assign(static_cast<size_t>(t->levels_), 0);
  t->store_ = &store;
  store.Register(t.Get());
  store.textureBytes += t->bytes_;
  return t;
}

TRef<T3DSurface> T3DTextureGL::Level(int index) {
  if (index < 0 || index >= levels_) return nullptr;
  return MakeRef<T3DSurfaceGL>(TRef<T3DTextureGL>::Share(this), index);
}

void T3DTextureGL::ReleaseGl(bool deleteNames) {
  if (deleteNames) DeleteNames(name_, framebuffers_);
  if (store_) store_->textureBytes -= bytes_;
  store_ = nullptr;
  name_ = 0;
  framebuffers_.clear();
}

void T3DTextureGL::Dispose() {
  TDeviceLock lock(DeviceMutex());
  if (store_)
    store_->Dispose(this, [name = name_, fbos = framebuffers_] { DeleteNames(name, fbos); });
}

void T3DTextureGL::ApplyDrawSampling(bool anisotropy, float maxAnisotropy, bool lodBias) {
  glBindTexture(GL_TEXTURE_2D, name_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, WrapMode(addressU_));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, WrapMode(addressV_));
  const bool linear = filter_ == TFilter::Linear;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
  if (anisotropy && mipmapping_ && linear && levels_ > 1) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, maxAnisotropy);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, lodBias ? lodBias_ : 0.0f);
  } else {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    if (anisotropy) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  }
}

void T3DTextureGL::ApplyShaderSampling() {
  glBindTexture(GL_TEXTURE_2D, name_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

GLuint T3DTextureGL::Framebuffer(int level) {
  if (!Alive() || level < 0 || level >= levels_) return 0;
  GLuint& fbo = framebuffers_[static_cast<size_t>(level)];
  if (fbo) return fbo;
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name_, level);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    fbo = 0;
  }
  return fbo;
}

bool T3DTextureGL::Upload(int level, int x, int y, int width, int height, const uint8_t* bits,
                          int pitch) {
  TDeviceLock lock(DeviceMutex());
  if (!Alive() || !store_->Bind() || level < 0 || level >= levels_) return false;
  const int bpp = BytesPerPixel(format_);
  const TGlFormat& f = GlFormat(format_);
  glBindTexture(GL_TEXTURE_2D, name_);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch / bpp);
  glTexSubImage2D(GL_TEXTURE_2D, level, x, y, width, height, f.format, f.type, bits);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  return TakeGlError() == TDeviceError::Ok;
}

bool T3DTextureGL::ReadPixels(int level, const TIntRect& rect, uint8_t* bits, int pitch) {
  if (!Alive() || !store_->Bind()) return false;
  GLuint fbo = Framebuffer(level);
  if (!fbo) return false;
  const TGlFormat& f = GlFormat(format_);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  glPixelStorei(GL_PACK_ROW_LENGTH, pitch / BytesPerPixel(format_));
  glReadPixels(rect.left, rect.top, rect.Width(), rect.Height(), f.format, f.type, bits);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  return TakeGlError() == TDeviceError::Ok;
}

bool T3DTextureGL::Read(int level, const TIntRect& rect, TLockedPixels& pixels) {
  TDeviceLock lock(DeviceMutex());
  const int bpp = BytesPerPixel(format_);
  pixels.format = format_;
  pixels.width = rect.Width();
  pixels.height = rect.Height();
  pixels.pitch = pixels.width * bpp;
  // glReadPixels writes every byte: no clearing of a buffer read into frame after frame.
  pixels.storage.resize(static_cast<size_t>(pixels.pitch) * static_cast<size_t>(pixels.height));
  pixels.bits = pixels.storage.data();
  return ReadPixels(level, rect, pixels.bits, pixels.pitch);
}

bool T3DTextureGL::ReadRows(int level, uint8_t* bits, int pitch) {
  TDeviceLock lock(DeviceMutex());
  const int bpp = BytesPerPixel(format_);
  const int width = LevelWidth(level), height = LevelHeight(level);
  if (bpp != 4 || !bits || pitch % bpp != 0 || pitch < width * bpp) return false;
  return ReadPixels(level, TIntRect{0, 0, width, height}, bits, pitch);
}

namespace {

// Rows `pitch` bytes apart read from an X8R8G8B8 surface: their alpha made 255.
void SetOpaqueRows(uint8_t* bits, int pitch, int width, int height) {
  for (int y = 0; y < height; ++y) SetOpaque(bits + static_cast<ptrdiff_t>(y) * pitch, width);
}

}  // namespace

bool T3DSurfaceGL::ReadRows(uint8_t* bits, int pitch) {
  if (!texture_->ReadRows(level_, bits, pitch)) return false;
  if (texture_->Format() == TSurfaceFormat::X8R8G8B8) {
    int width = 0, height = 0;
    Size(width, height);
    SetOpaqueRows(bits, pitch, width, height);
  }
  return true;
}

bool T3DSurfaceGL::ReadInto(TLockedPixels& target) {
  int width = 0, height = 0;
  Size(width, height);
  if (!texture_->Read(level_, TIntRect{0, 0, width, height}, target)) return false;
  if (target.format == TSurfaceFormat::X8R8G8B8) {
    SetOpaqueRows(target.bits, target.pitch, target.width, target.height);
    target.format = TSurfaceFormat::A8R8G8B8;
  }
  return true;
}

void T3DSurfaceGL::Size(int& width, int& height) const {
  width = texture_->LevelWidth(level_);
  height = texture_->LevelHeight(level_);
}

bool T3DSurfaceGL::Lock(const TIntRect* rect, bool readOnly, TLockedPixels& pixels) {
  int width = 0, height = 0;
  Size(width, height);
  const TIntRect whole{0, 0, width, height};
  lockedRect_ = rect ? Intersect(*rect, whole) : whole;
  lockedForWrite_ = !readOnly;
  if (lockedRect_.Empty()) return false;
  return texture_->Read(level_, lockedRect_, pixels);
}

void T3DSurfaceGL::Unlock(TLockedPixels& pixels) {
  if (lockedForWrite_ && pixels.bits)
    texture_->Upload(level_, lockedRect_.left, lockedRect_.top, pixels.width, pixels.height,
                     pixels.bits, pixels.pitch);
  lockedForWrite_ = false;
  pixels = TLockedPixels{};
}

bool T3DSurfaceGL::SameAs(const T3DSurface& other) const {
  auto* o = dynamic_cast<const T3DSurfaceGL*>(&other);
  return o && o->texture_ == texture_ && o->level_ == level_;
}

TRef<TVolumeTextureGL> TVolumeTextureGL::Create(TGlStore& store, int width, int height, int depth,
                                                TDeviceError& error) {
  TDeviceLock lock(DeviceMutex());
  error = TDeviceError::InvalidCall;
  if (width <= 0 || height <= 0 || depth <= 0 || !store.Bind()) return nullptr;
  if (store.simulatedOutOfMemory > 0) {
    --store.simulatedOutOfMemory;
    error = TDeviceError::OutOfVideoMemory;
    return nullptr;
  }
  TRef<TVolumeTextureGL> t = TRef<TVolumeTextureGL>::Adopt(new TVolumeTextureGL());
  t->width_ = width;
  t->height_ = height;
  t->depth_ = depth;
  const TGlFormat& f = GlFormat(TSurfaceFormat::A8R8G8B8);
  TakeGlError();
  glGenTextures(1, &t->name_);
  glBindTexture(GL_TEXTURE_3D, t->name_);
  glTexImage3D(GL_TEXTURE_3D, 0, f.internalFormat, width, height, depth, 0, f.format, f.type,
               nullptr);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R})
    glTexParameteri(GL_TEXTURE_3D, wrap, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_3D, 0);
  error = TakeGlError();
  if (error != TDeviceError::Ok) {
    glDeleteTextures(1, &t->name_);
    return nullptr;
  }
  t->store_ = &store;
  store.Register(t.Get());
  store.textureBytes += TextureBytes(TSurfaceFormat::A8R8G8B8, width, height, depth);
  return t;
}

bool TVolumeTextureGL::LockBox(int level, const TBox& box, TLockedPixels& pixels) {
  TDeviceLock lock(DeviceMutex());
  if (level != 0 || !Alive() || !store_->Bind()) return false;
  TBox b = box;
  b.left = std::max(b.left, 0);
  b.top = std::max(b.top, 0);
  b.front = std::max(b.front, 0);
  b.right = std::min(b.right, width_);
  b.bottom = std::min(b.bottom, height_);
  b.back = std::min(b.back, depth_);
  if (b.right <= b.left || b.bottom <= b.top || b.back <= b.front) return false;
  lockedBox_ = b;
  // Read the whole volume once and keep the box: volume lookups are small.
  std::vector<uint8_t> all(TextureBytes(TSurfaceFormat::A8R8G8B8, width_, height_, depth_));
  glBindTexture(GL_TEXTURE_3D, name_);
  glGetTexImage(GL_TEXTURE_3D, 0, GL_BGRA, GL_UNSIGNED_BYTE, all.data());
  pixels.format = TSurfaceFormat::A8R8G8B8;
  pixels.width = b.right - b.left;
  pixels.height = (b.bottom - b.top) * (b.back - b.front);
  pixels.pitch = pixels.width * 4;
  pixels.storage.resize(static_cast<size_t>(pixels.pitch) * static_cast<size_t>(pixels.height));
  pixels.bits = pixels.storage.data();
  int row = 0;
  for (int z = b.front; z < b.back; ++z)
    for (int y = b.top; y < b.bottom; ++y, ++row)
      std::memcpy(pixels.Row(row),
                  all.data() + ((static_cast<size_t>(z) * height_ + y) * width_ + b.left) * 4,
                  static_cast<size_t>(pixels.pitch));
  return TakeGlError() == TDeviceError::Ok;
}

void TVolumeTextureGL::UnlockBox(int level, TLockedPixels& pixels) {
  TDeviceLock lock(DeviceMutex());
  if (level == 0 && pixels.bits && Alive() && store_->Bind()) {
    const TBox& b = lockedBox_;
    glBindTexture(GL_TEXTURE_3D, name_);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pixels.pitch / 4);
    glTexSubImage3D(GL_TEXTURE_3D, 0, b.left, b.top, b.front, b.right - b.left, b.bottom - b.top,
                    b.back - b.front, GL_BGRA, GL_UNSIGNED_BYTE, pixels.bits);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
  pixels = TLockedPixels{};
}

void TVolumeTextureGL::ReleaseGl(bool deleteNames) {
  if (deleteNames && name_) glDeleteTextures(1, &name_);
  if (store_)
    store_->textureBytes -= TextureBytes(TSurfaceFormat::A8R8G8B8, width_, height_, depth_);
  store_ = nullptr;
  name_ = 0;
}

void TVolumeTextureGL::Dispose() {
  TDeviceLock lock(DeviceMutex());
  if (store_) store_->Dispose(this, [name = name_] { glDeleteTextures(1, &name); });
}

}  // namespace vyr

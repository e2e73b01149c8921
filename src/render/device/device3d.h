#pragma once
// The device-independent 3D interface: surfaces, textures, vertex lists, shaders, the
// renderer of one draw device and the engine that knows the adapters. One implementation
// exists, on OpenGL 3.3 core (gl_*.h).

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "foundation/ref_object.h"
#include "render/device/device_types.h"
#include "scene/geometry.h"

namespace vyr {

class TDrawDevice;

class T3DSurface : public TRefObject {
 public:
  // Copies the whole surface, top row first; 32-bit surfaces come out as A8R8G8B8 with an
  // X8R8G8B8 surface's alpha forced to 255.
  virtual bool ReadInto(TLockedPixels& target) = 0;
  // 32-bit surfaces: the whole surface as A8R8G8B8 as ReadInto gives it, straight into the
  // caller's rows `pitch` bytes apart (no copy in between); false for other formats.
  virtual bool ReadRows(uint8_t* bits, int pitch) = 0;
  virtual void Size(int& width, int& height) const = 0;
  virtual TSurfaceFormat Format() const = 0;
  std::string PixelFormat() const { return BitmapFormatName(Format()); }
  // Pixels of rect (the whole surface when null); a read-only lock changes nothing on Unlock.
  virtual bool Lock(const TIntRect* rect, bool readOnly, TLockedPixels& pixels) = 0;
  virtual void Unlock(TLockedPixels& pixels) = 0;
  virtual bool SameAs(const T3DSurface& other) const = 0;
};

class TBaseTexture : public TRefObject {
 public:
  virtual int LevelCount() const = 0;
  virtual bool IsVolume() const { return false; }
};

enum class TAddressing : uint8_t { Wrap = 0, Clamp = 1, Mirror = 2 };
enum class TFilter : uint8_t { Point = 0, Linear = 1 };

class T3DTexture : public TBaseTexture {
 public:
  virtual TRef<T3DSurface> Level(int index) = 0;
  virtual void Preload() = 0;
  virtual void SetAddressing(TAddressing u, TAddressing v) = 0;
  virtual void GetAddressing(TAddressing& u, TAddressing& v) const = 0;
  virtual void SetFilter(TFilter filter) = 0;
  virtual TFilter GetFilter() const = 0;
  virtual void SetMipmapping(bool on) = 0;
  virtual void SetLodBias(float bias) = 0;
  // Writes pixels into a rectangle of a level (the format's memory layout, top row first)
  // without reading the old contents first.
  virtual bool WriteRect(int level, const TIntRect& rect, const uint8_t* bits, int pitch) = 0;

  TTextureKind kind = TTextureKind::Picture;
  bool premultiplied = false;
  bool hasAlpha = true;
};

class TVolumeTexture : public TBaseTexture {
 public:
  bool IsVolume() const override { return true; }
  // The slices of box, front slice first; each slice `height` rows of `pitch` bytes.
  virtual bool LockBox(int level, const TBox& box, TLockedPixels& pixels) = 0;
  virtual void UnlockBox(int level, TLockedPixels& pixels) = 0;
};

class T3DVertexList : public TRefObject {
 public:
  virtual void SetPrimitive(int first, int count, TPrimitiveType type) = 0;
  virtual bool Fill(int first, const TVertexRecord* vertices, int count) = 0;
  virtual int TextureSets() const = 0;
};

class T3DShader : public TRefObject {
 public:
  virtual bool IsVertex() const = 0;
};

// DrawVertexList flags.
enum TDrawFlag : uint32_t {
  dfTextured = 1,       // bind the textures on their stages
  dfModulateColor = 2,  // colour = texture x vertex colour, else the texture's colour
  dfModulateAlpha = 4,  // alpha = texture x vertex alpha (vertex alpha for textures without
                        // alpha), else the texture's alpha
  dfLighting = 8
};
// Clear flags.
enum TClearFlag : uint32_t { cfTarget = 1, cfDepth = 2 };
enum class TTransformKind : int { World = 0, View = 1, Projection = 2 };

class T3DRenderer : public TRefObject {
 public:
  using TLostCallback = std::function<void()>;

  virtual void UpdateBounds() = 0;
  virtual bool BeginScene() = 0;
  virtual bool EndScene() = 0;
  // Pairs of source rectangles in the back buffer and destination rectangles in the window;
  // count 0 presents the whole frame.
  virtual bool Present(const TIntRect* source, int count, const TIntRect* destination) = 0;
  // rects null or count 0 clears the whole target; colour is 0xAARRGGBB.
  virtual bool Clear(const TIntRect* rects, int count, uint32_t flags, uint32_t colour,
                     float z) = 0;
  virtual void SetDefaultStates() = 0;
  // None selects the back buffer.
  virtual bool SetRenderTarget(T3DSurface* surface) = 0;
  virtual TRef<T3DSurface> RenderTarget() = 0;
  virtual TRef<T3DSurface> BackBuffer() = 0;
  virtual bool SetViewport(const TIntRect& rect, float minZ, float maxZ) = 0;
  virtual bool DrawVertexList(std::span<T3DTexture* const> textures, uint32_t flags,
                              T3DVertexList& list) = 0;
  virtual bool SetTexture(int stage, TBaseTexture* texture) = 0;
  virtual TRef<T3DTexture> CreateTexture(TTextureKind kind, int width, int height,
                                         bool mipmaps) = 0;
  virtual TRef<TVolumeTexture> CreateVolumeTexture(int width, int height, int depth) = 0;
  // components: TVertexComponent bits; textureSets 1..8.
  virtual TRef<T3DVertexList> CreateVertexList(int count, uint32_t components, int textureSets) = 0;
  virtual bool CopyRects(T3DSurface& source, T3DSurface& destination, int count,
                         const TIntRect* sourceRects, const TIntRect* destinationRects) = 0;
  virtual void SetBlendMode(int mode) = 0;
  virtual void SetTransform(TTransformKind kind, const TMatrix& matrix) = 0;
  virtual void SetCulling(bool off) = 0;
  // OpenGL's pixel and texel centres agree: no half-pixel shift.
  virtual void PixelCentreOffset(float& x, float& y) const {
    x = 0;
    y = 0;
  }
  // program: GLSL 330 source (after the optional process-wide compile hook).
  virtual TRef<T3DShader> CreateShader(const std::string& program, bool vertex) = 0;
  virtual void SetShader(T3DShader* shader) = 0;
  virtual void SetShaderConstants(int firstRegister, const float* values, int count,
                                  bool vertex) = 0;

  // Whether calls can reach the device from the calling thread.
  virtual bool OnDeviceThread() const = 0;

  TDrawDevice* Device() const { return device_; }
  TDeviceError LastError() const { return lastError_; }
  bool IsLost() const { return lost_; }
  bool ErrorFlag() const { return errorFlag_; }
  int BlendMode() const { return blendMode_; }
  void SetLostCallback(TLostCallback callback) { lostCallback_ = std::move(callback); }
  // Called by the draw device when it goes away.
  virtual void DetachDevice() { device_ = nullptr; }

 protected:
  TDrawDevice* device_ = nullptr;
  TDeviceError lastError_ = TDeviceError::Ok;
  bool lost_ = false;
  bool errorFlag_ = false;
  int blendMode_ = 0;
  TLostCallback lostCallback_;
};

struct TAdapterMode {
  TIntRect monitor;
  TSurfaceFormat format = TSurfaceFormat::X8R8G8B8;
  int refreshRate = 60;
};

class T3DEngine : public TRefObject {
 public:
  virtual int AdapterCount() = 0;
  // The adapter whose monitor overlaps rect most; 0 when none does.
  virtual int BestAdapter(const TIntRect& rect);
  // Names, case-insensitive: "pixelshaderversion" (major << 8 | minor), "maxtexwidth",
  // "maxtexheight", "maxanisotropy", "raster" (capability bits), "vendor" (PCI id).
  virtual int CapsValue(const std::string& name, int adapter) = 0;
  // "vendor": the adapter's description.
  virtual std::string CapsText(const std::string& name, int adapter) = 0;
  virtual bool AdapterMode(int adapter, TAdapterMode& mode) = 0;
  virtual TRef<T3DRenderer> CreateRenderer(TDrawDevice& device, const TAdapterMode& mode) = 0;
  virtual bool CheckDevice() { return true; }
  // 0 below pixel-shader 2.0; for Intel (32902) 2 from 3.0 on, else 1; 2 for the rest.
  virtual int QualityTier(int adapter);
};

// Rasterizer capability bits reported by CapsValue("raster").
constexpr int kRasterAnisotropy = 0x20000;
constexpr int kRasterMipLodBias = 0x2000;

}  // namespace vyr

#pragma once
// The renderer of one draw device on OpenGL 3.3 core.
//
// Row order: every target (back buffer and render-target textures) is a framebuffer object
// whose memory row 0 is the top row, as in Direct3D. Viewports, clear rectangles and the
// projection (T3DScreen) use that row order directly; the one flip happens when the back
// buffer is presented to a window (framebuffer 0 counts rows from the bottom).

#include <array>

#include "render/device/device3d.h"
#include "render/device/gl_store.h"
#include "render/device/gl_texture.h"
#include "render/device/gl_vertex_list.h"
#include "render/device/present_pacing.h"

namespace vyr {

struct TGlCaps {
  int maxTextureSize = 0;
  int max3DTextureSize = 0;
  int maxRenderbufferSize = 0;
  int maxViewportWidth = 0, maxViewportHeight = 0;
  float adapterMaxAnisotropy = 1;
  float maxAnisotropy = 1;  // min(4, adapter maximum)
  bool anisotropy = false;
  bool lodBias = true;
  bool depthD24S8 = true;
  bool l8 = true;
  std::string vendor, renderer, version;
};

// Reads the capabilities of the current context.
TGlCaps ReadGlCaps();

class T3DRendererGL : public T3DRenderer {
 public:
  T3DRendererGL(TDrawDevice& device, TRef<TGlStore> store, const TAdapterMode& mode, bool exclusive,
                bool paced, const TGlCaps& caps);

  void UpdateBounds() override;
  bool BeginScene() override;
  bool EndScene() override;
  bool Present(const TIntRect* source, int count, const TIntRect* destination) override;
  bool Clear(const TIntRect* rects, int count, uint32_t flags, uint32_t colour, float z) override;
  void SetDefaultStates() override;
  bool SetRenderTarget(T3DSurface* surface) override;
  TRef<T3DSurface> RenderTarget() override;
  TRef<T3DSurface> BackBuffer() override;
  bool SetViewport(const TIntRect& rect, float minZ, float maxZ) override;
  bool DrawVertexList(std::span<T3DTexture* const> textures, uint32_t flags,
                      T3DVertexList& list) override;
  bool SetTexture(int stage, TBaseTexture* texture) override;
  TRef<T3DTexture> CreateTexture(TTextureKind kind, int width, int height, bool mipmaps) override;
  TRef<TVolumeTexture> CreateVolumeTexture(int width, int height, int depth) override;
  TRef<T3DVertexList> CreateVertexList(int count, uint32_t components, int textureSets) override;
  bool CopyRects(T3DSurface& source, T3DSurface& destination, int count,
                 const TIntRect* sourceRects, const TIntRect* destinationRects) override;
  void SetBlendMode(int mode) override { blendMode_ = mode; }
  void SetTransform(TTransformKind kind, const TMatrix& matrix) override;
  void SetCulling(bool off) override;
  TRef<T3DShader> CreateShader(const std::string& program, bool vertex) override;
  void SetShader(T3DShader* shader) override;
  void SetShaderConstants(int firstRegister, const float* values, int count, bool vertex) override;
  bool OnDeviceThread() const override;

  const TGlCaps& Caps() const { return caps_; }
  bool Exclusive() const { return exclusive_; }
  TGlStore* Store() const { return store_.Get(); }
  // Test hooks: a device loss as OpenGL reports one, and video memory running out for
  // the next `count` texture creations.
  void SimulateLoss();
  void SimulateOutOfMemory(int count);

 protected:
  void Dispose() override;

 private:
  // Under the device mutex: the store can take calls on this thread, else lost.
  bool Enter();
  // Records a call's error class; a lost device frees the store and calls back.
  bool Check(TDeviceError error);
  void HandleLoss();
  void UnbindStages(int stages);
  void ApplyBlendState(std::span<T3DTexture* const> textures);

  TRef<TGlStore> store_;
  TAdapterMode mode_;
  bool exclusive_ = false;
  bool exclusiveSuspended_ = false;  // gave the desktop back while inactive
  bool paced_ = true;
  TGlCaps caps_;
  TPresentPacer pacer_;
  TRef<T3DSurfaceGL> target_;
  std::array<TMatrix, 3> transforms_{TMatrix::Identity(), TMatrix::Identity(), TMatrix::Identity()};
  TRef<T3DShaderGL> vertexShader_, pixelShader_;
  std::array<float, 4 * kMaxConstantRegisters> pixelConstants_{};
  std::array<float, 4 * kMaxConstantRegisters> vertexConstants_{};
};

}  // namespace vyr

#include "render/device/gl_renderer.h"

#include <algorithm>
#include <cstring>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "render/device/device_lock.h"
#include "render/device/draw_device.h"

namespace vyr {
namespace {

void ClearColour(uint32_t argb) {
  glClearColor(static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
               static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
               static_cast<float>(argb & 0xFF) / 255.0f,
               static_cast<float>((argb >> 24) & 0xFF) / 255.0f);
}

}  // namespace

TGlCaps ReadGlCaps() {
  TGlCaps caps;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &caps.maxTextureSize);
  glGetIntegerv(GL_MAX_3D_TEXTURE_SIZE, &caps.max3DTextureSize);
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &caps.maxRenderbufferSize);
  GLint viewport[2] = {};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  caps.maxViewportWidth = viewport[0];
  caps.maxViewportHeight = viewport[1];
  caps.anisotropy = epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
                    epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");
  if (caps.anisotropy) glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &caps.adapterMaxAnisotropy);
  caps.maxAnisotropy = std::min(4.0f, caps.adapterMaxAnisotropy);
  auto text = [](GLenum name) {
    const GLubyte* s = glGetString(name);
    return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
  };
  caps.vendor = text(GL_VENDOR);
  caps.renderer = text(GL_RENDERER);
  caps.version = text(GL_VERSION);
  TakeGlError();
  return caps;
}

T3DRendererGL::T3DRendererGL(TDrawDevice& device, TRef<TGlStore> store, const TAdapterMode& mode,
                             bool exclusive, bool paced, const TGlCaps& caps)
    : store_(std::move(store)), mode_(mode), exclusive_(exclusive), paced_(paced), caps_(caps) {
  device_ = &device;
  device.AddRenderer(this);
}

void T3DRendererGL::Dispose() {
  TDeviceLock lock(DeviceMutex());
  target_.Reset();
  vertexShader_.Reset();
  pixelShader_.Reset();
  if (device_) {
    device_->RemoveRenderer(this);
    if (device_->FullScreen() && !device_->Headless()) {
      const TIntRect& r = device_->Bounds();
      GlobalLog().WriteRect("Dispose FullScreen, R= ", r.left, r.top, r.right, r.bottom);
      device_->ApplyWindowMode(false, false);
    }
  }
  store_.Reset();
}

bool T3DRendererGL::OnDeviceThread() const { return store_ && store_->OnOwnerThread(); }

bool T3DRendererGL::Enter() {
  if (lost_) return false;
  if (!store_ || store_->Released() || !device_) {
    HandleLoss();
    return false;
  }
  if (!store_->OnOwnerThread()) return Check(TDeviceError::InvalidCall);
  if (!store_->Bind()) {
    HandleLoss();
    return false;
  }
  return true;
}

bool T3DRendererGL::Check(TDeviceError error) {
  lastError_ = error;
  if (error == TDeviceError::Ok) return true;
  errorFlag_ = true;
  GlobalLog().WriteInteger("Dx Error = ", static_cast<int>(error));
  if (error == TDeviceError::Lost) HandleLoss();
  return false;
}

void T3DRendererGL::HandleLoss() {
  if (lost_) return;
  lost_ = true;
  lastError_ = TDeviceError::Lost;
  target_.Reset();
  vertexShader_.Reset();
  pixelShader_.Reset();
  if (store_) {
    if (device_) device_->RemoveDependent(store_.Get());
    store_->FreeAll();
    store_.Reset();
  }
  WriteLine("T3DRenderer9: DEVICE LOST!");
  if (lostCallback_) lostCallback_();
}

void T3DRendererGL::SimulateLoss() {
  TDeviceLock lock(DeviceMutex());
  Check(TDeviceError::Lost);
}

void T3DRendererGL::SimulateOutOfMemory(int count) {
  TDeviceLock lock(DeviceMutex());
  if (store_) store_->simulatedOutOfMemory = count;
}

void T3DRendererGL::UpdateBounds() {
  // The back buffer follows the client size at the next BeginScene.
}

bool T3DRendererGL::BeginScene() {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return false;
  if (exclusive_ && device_->FullScreen() && !device_->IsActive()) {
    // Exclusive and no longer active: give the desktop back until we are active again.
    device_->ApplyWindowMode(true, false);
    exclusive_ = false;
    exclusiveSuspended_ = true;
  } else if (exclusiveSuspended_ && device_->IsActive()) {
    // Active again: drop the device so that the next frame makes an exclusive one.
    HandleLoss();
    return false;
  }
  if (!store_->EnsureBackBuffer()) return Check(TDeviceError::OutOfVideoMemory);
  target_ = TRef<T3DSurfaceGL>::Adopt(
      new T3DSurfaceGL(TRef<T3DTextureGL>::Share(store_->BackBufferTexture()), 0));
  glBindFramebuffer(GL_FRAMEBUFFER, target_->Framebuffer());
  glViewport(0, 0, store_->BackBufferTexture()->Width(), store_->BackBufferTexture()->Height());
  SetDefaultStates();
  return Check(TakeGlError());
}

bool T3DRendererGL::EndScene() {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return false;
  glFlush();
  return Check(TakeGlError());
}

bool T3DRendererGL::Present(const TIntRect* source, int count, const TIntRect* destination) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return false;
  TGlContext* context = store_->Context();
  if (!context->HasWindowFramebuffer()) {
    glFlush();
    return Check(TakeGlError());
  }
  if (paced_) pacer_.WaitBeforePresent(mode_.refreshRate);
  T3DTextureGL* back = store_->BackBufferTexture();
  int windowWidth = 0, windowHeight = 0;
  context->DrawableSize(windowWidth, windowHeight);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, back->Framebuffer(0));
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  const TIntRect whole{0, 0, back->Width(), back->Height()};
  const TIntRect window{0, 0, windowWidth, windowHeight};
  const int pairs = count > 0 && source && destination ? count : 1;
  for (int i = 0; i < pairs; ++i) {
    const TIntRect& s = count > 0 ? source[i] : whole;
    const TIntRect& d = count > 0 ? destination[i] : window;
    // Rows of the back buffer run top-down, the window's bottom-up: flip while copying.
    glBlitFramebuffer(s.left, s.top, s.right, s.bottom, d.left, windowHeight - d.top, d.right,
                      windowHeight - d.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  }
  context->SwapBuffers();
  pacer_.Presented();
  glBindFramebuffer(GL_FRAMEBUFFER, target_ ? target_->Framebuffer() : 0);
  return Check(TakeGlError());
}

bool T3DRendererGL::Clear(const TIntRect* rects, int count, uint32_t flags, uint32_t colour,
                          float z) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return false;
  GLbitfield mask = 0;
  if (flags & cfTarget) mask |= GL_COLOR_BUFFER_BIT;
  if ((flags & cfDepth) && caps_.depthD24S8) mask |= GL_DEPTH_BUFFER_BIT;
  if (!mask) return true;
  ClearColour(colour);
  glClearDepth(z);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (!rects || count <= 0) {
    glClear(mask);
  } else {
    glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < count; ++i) {
      if (rects[i].Empty()) continue;
      glScissor(rects[i].left, rects[i].top, rects[i].Width(), rects[i].Height());
      glClear(mask);
    }
    glDisable(GL_SCISSOR_TEST);
  }
  return Check(TakeGlError());
}

void T3DRendererGL::SetDefaultStates() {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_SCISSOR_TEST);
  glEnable(GL_BLEND);
  glBlendEquation(GL_FUNC_ADD);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  blendMode_ = 0;
}

bool T3DRendererGL::SetRenderTarget(T3DSurface* surface) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return false;
  TRef<T3DSurfaceGL> next;
  if (surface) {
    auto* gl = dynamic_cast<T3DSurfaceGL*>(surface);
    VYR_ASSERT_MSG(gl, "Wrong surface class");
    next = TRef<T3DSurfaceGL>::Share(gl);
  } else {
    next = TRef<T3DSurfaceGL>::Adopt(
        new T3DSurfaceGL(TRef<T3DTextureGL>::Share(store_->BackBufferTexture()), 0));
  }
  const GLuint fbo = next->Framebuffer();
  if (!fbo) return Check(TDeviceError::InvalidCall);
  target_ = next;
  glBindFramebuffer(GL_FRAMEBUFFER, fbo);
  int width = 0, height = 0;
  target_->Size(width, height);
  glViewport(0, 0, width, height);
  return Check(TakeGlError());
}

TRef<T3DSurface> T3DRendererGL::RenderTarget() { return target_; }

TRef<T3DSurface> T3DRendererGL::BackBuffer() {
  TDeviceLock lock(DeviceMutex());
  if (!store_ || store_->Released() || !store_->BackBufferTexture()) return nullptr;
  return MakeRef<T3DSurfaceGL>(TRef<T3DTextureGL>::Share(store_->BackBufferTexture()), 0);
}

bool T3DRendererGL::SetViewport(const TIntRect& rect, float minZ, float maxZ) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return false;
  glViewport(rect.left, rect.top, rect.Width(), rect.Height());
  glDepthRange(minZ, maxZ);
  return Check(TakeGlError());
}

void T3DRendererGL::ApplyBlendState(std::span<T3DTexture* const> textures) {
  GLenum sourceColour = GL_SRC_ALPHA;
  bool separateAlpha = blendMode_ == 2;
  glEnable(GL_BLEND);
  glBlendEquation(blendMode_ == 1 ? GL_MAX : GL_FUNC_ADD);
  if (blendMode_ == 0) {
    if (!textures.empty() && textures[0] && textures[0]->premultiplied) sourceColour = GL_ONE;
    if (target_ && target_->Texture()->premultiplied) separateAlpha = true;
  }
  if (separateAlpha)
    glBlendFuncSeparate(sourceColour, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  else
    glBlendFunc(sourceColour, GL_ONE_MINUS_SRC_ALPHA);
}

bool T3DRendererGL::DrawVertexList(std::span<T3DTexture* const> textures, uint32_t flags,
                                   T3DVertexList& list) {
  TDeviceLock lock(DeviceMutex());
  auto* vertices = dynamic_cast<T3DVertexListGL*>(&list);
  VYR_ASSERT_MSG(vertices, "Wrong vertex list class");
  const bool textured = (flags & dfTextured) != 0;
  if (textured)
    VYR_ASSERT_MSG(static_cast<int>(textures.size()) <= std::min(list.TextureSets(), kMaxStages),
                   "Stage count and texture count differ");
  if (!Enter()) return false;
  if (!vertices->Alive()) return Check(TDeviceError::InvalidCall);
  TFixedStages fixed;
  fixed.modulateColor = (flags & dfModulateColor) != 0;
  fixed.modulateAlpha = (flags & dfModulateAlpha) != 0;
  if (textured) {
    for (size_t i = 0; i < textures.size(); ++i) {
      auto* texture = dynamic_cast<T3DTextureGL*>(textures[i]);
      if (!texture || !texture->Alive()) break;
      glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
      texture->ApplyDrawSampling(caps_.anisotropy, caps_.maxAnisotropy, caps_.lodBias);
      if (texture->hasAlpha) fixed.hasAlpha |= 1u << i;
      fixed.stages = static_cast<int>(i) + 1;
    }
  }
  const int stages = fixed.stages;
  const TGlProgram* program = store_->Program(vertexShader_ ? vertexShader_->Name() : 0,
                                              pixelShader_ ? pixelShader_->Name() : 0, fixed);
  if (!program) {
    UnbindStages(stages);
    return Check(TDeviceError::InvalidCall);
  }
  glUseProgram(program->id);
  if (program->world >= 0) glUniformMatrix4fv(program->world, 1, GL_FALSE, &transforms_[0].m[0][0]);
  if (program->view >= 0) glUniformMatrix4fv(program->view, 1, GL_FALSE, &transforms_[1].m[0][0]);
  if (program->projection >= 0)
    glUniformMatrix4fv(program->projection, 1, GL_FALSE, &transforms_[2].m[0][0]);
  if (program->pixelConstants >= 0)
    glUniform4fv(program->pixelConstants,
                 std::min(program->pixelConstantCount, kMaxConstantRegisters),
                 pixelConstants_.data());
  if (program->vertexConstants >= 0)
    glUniform4fv(program->vertexConstants,
                 std::min(program->vertexConstantCount, kMaxConstantRegisters),
                 vertexConstants_.data());
  ApplyBlendState(textures);
  glDisable(GL_DEPTH_TEST);
  glBindVertexArray(vertices->VertexArray());
  glDrawArrays(vertices->Mode(), vertices->First(), vertices->VertexCount());
  glBindVertexArray(0);
  UnbindStages(stages);
  return Check(TakeGlError());
}

void T3DRendererGL::UnbindStages(int stages) {
  for (int i = 0; i < stages; ++i) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  glActiveTexture(GL_TEXTURE0);
}

bool T3DRendererGL::SetTexture(int stage, TBaseTexture* texture) {
  TDeviceLock lock(DeviceMutex());
  VYR_ASSERT_MSG(stage >= 0 && stage < kMaxStages, "Wrong texture stage");
  if (!Enter()) return false;
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
  if (!texture) {
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_3D, 0);
  } else if (auto* volume = dynamic_cast<TVolumeTextureGL*>(texture)) {
    glBindTexture(GL_TEXTURE_3D, volume->Alive() ? volume->Name() : 0);
  } else if (auto* flat = dynamic_cast<T3DTextureGL*>(texture)) {
    if (flat->Alive()) flat->ApplyShaderSampling();
  } else {
    AssertionFailed("Wrong texture class", __FILE__, __LINE__);
  }
  glActiveTexture(GL_TEXTURE0);
  return Check(TakeGlError());
}

TRef<T3DTexture> T3DRendererGL::CreateTexture(TTextureKind kind, int width, int height,
                                              bool mipmaps) {
  VYR_ASSERT_MSG(static_cast<unsigned>(kind) < static_cast<unsigned>(kTextureKindCount),
                 "Wrong texture kind");
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return nullptr;
  const bool fullChain = IsManagedKind(kind) && mipmaps && caps_.anisotropy;
  TDeviceError error = TDeviceError::Ok;
  TRef<T3DTextureGL> texture =
      T3DTextureGL::Create(*store_, kind, width, height, fullChain ? 0 : 1, error);
  Check(error);
  return texture;
}

TRef<TVolumeTexture> T3DRendererGL::CreateVolumeTexture(int width, int height, int depth) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return nullptr;
  TDeviceError error = TDeviceError::Ok;
  TRef<TVolumeTextureGL> texture = TVolumeTextureGL::Create(*store_, width, height, depth, error);
  Check(error);
  return texture;
}

TRef<T3DVertexList> T3DRendererGL::CreateVertexList(int count, uint32_t components,
                                                    int textureSets) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return nullptr;
  TRef<T3DVertexListGL> list = T3DVertexListGL::Create(*store_, count, components, textureSets);
  Check(list ? TDeviceError::Ok : TDeviceError::InvalidCall);
  return list;
}

bool T3DRendererGL::CopyRects(T3DSurface& source, T3DSurface& destination, int count,
                              const TIntRect* sourceRects, const TIntRect* destinationRects) {
  TDeviceLock lock(DeviceMutex());
  auto* from = dynamic_cast<T3DSurfaceGL*>(&source);
  auto* to = dynamic_cast<T3DSurfaceGL*>(&destination);
  VYR_ASSERT_MSG(from && to, "Wrong surface class");
  if (!Enter()) return false;
  const GLuint read = from->Framebuffer(), draw = to->Framebuffer();
  if (!read || !draw) return Check(TDeviceError::InvalidCall);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, read);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    const TIntRect& s = sourceRects[i];
    const TIntRect& d = destinationRects[i];
    glBlitFramebuffer(s.left, s.top, s.right, s.bottom, d.left, d.top, d.right, d.bottom,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    ok = Check(TakeGlError());
  }
  glBindFramebuffer(GL_FRAMEBUFFER, target_ ? target_->Framebuffer() : 0);
  return ok;
}

void T3DRendererGL::SetTransform(TTransformKind kind, const TMatrix& matrix) {
  const int index = static_cast<int>(kind);
  VYR_ASSERT_MSG(index >= 0 && index <= 2, "Wrong transform kind");
  transforms_[static_cast<size_t>(index)] = matrix;
}

void T3DRendererGL::SetCulling(bool off) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return;
  if (off) {
    glDisable(GL_CULL_FACE);
    return;
  }
  // Rows run top-down, so a triangle counter-clockwise on screen is clockwise to OpenGL.
  glEnable(GL_CULL_FACE);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
}

TRef<T3DShader> T3DRendererGL::CreateShader(const std::string& program, bool vertex) {
  TDeviceLock lock(DeviceMutex());
  if (!Enter()) return nullptr;
  TRef<T3DShaderGL> shader = T3DShaderGL::Create(*store_, program, vertex);
  Check(shader ? TDeviceError::Ok : TDeviceError::InvalidCall);
  return shader;
}

void T3DRendererGL::SetShader(T3DShader* shader) {
  if (!shader) {
    vertexShader_.Reset();
    pixelShader_.Reset();
    return;
  }
  auto* gl = dynamic_cast<T3DShaderGL*>(shader);
  VYR_ASSERT_MSG(gl, "Wrong shader class");
  (gl->IsVertex() ? vertexShader_ : pixelShader_) = TRef<T3DShaderGL>::Share(gl);
}

void T3DRendererGL::SetShaderConstants(int firstRegister, const float* values, int count,
                                       bool vertex) {
  auto& constants = vertex ? vertexConstants_ : pixelConstants_;
  if (firstRegister < 0 || count <= 0 || firstRegister >= kMaxConstantRegisters) return;
  count = std::min(count, kMaxConstantRegisters - firstRegister);
  std::memcpy(constants.data() + 4 * firstRegister, values,
              sizeof(float) * 4 * static_cast<size_t>(count));
}

}  // namespace vyr

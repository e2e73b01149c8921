#include "render/device/gl_store.h"

#include <algorithm>

#include "foundation/log.h"
#include "render/device/device_lock.h"
#include "render/device/gl_texture.h"

namespace vyr {
namespace {
thread_local TGlStore* currentStore = nullptr;
}

void ReleaseCurrentGlContext() {
  if (currentStore && currentStore->Context()) currentStore->Context()->DoneCurrent();
  currentStore = nullptr;
}

namespace {
// One thread has one current context across GLX and EGL: release the one we made current
// before making another one current.
bool SwitchTo(TGlStore* store, TGlContext& context) {
  if (currentStore && currentStore != store && currentStore->Context())
    currentStore->Context()->DoneCurrent();
  currentStore = nullptr;
  if (!context.MakeCurrent()) return false;
  currentStore = store;
  return true;
}
}  // namespace

TRef<TGlStore> TGlStore::Create(TDrawDevice& device) {
  TDeviceLock lock(DeviceMutex());
  std::unique_ptr<TGlContext> context = device.CreateContext();
  if (!context) return nullptr;
  TRef<TGlStore> store = TRef<TGlStore>::Adopt(new TGlStore());
  if (!SwitchTo(store.Get(), *context)) return nullptr;
  store->device_ = &device;
  store->context_ = std::move(context);
  store->owner_ = std::this_thread::get_id();
  std::string log;
  store->fixedVertex_ = CompileGlShader(GL_VERTEX_SHADER, FixedVertexShaderSource(), log);
  if (!store->fixedVertex_) {
    WriteLine("TGlStore: fixed shaders failed: " + log);
    store->FreeAll();
    return nullptr;
  }
  // Vertex lists without colours draw white, as Direct3D does.
  glVertexAttrib4f(1, 1, 1, 1, 1);
  glVertexAttrib4f(2, 0, 0, 0, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!store->EnsureBackBuffer()) {
    store->FreeAll();
    return nullptr;
  }
  return store;
}

bool TGlStore::Bind() {
  if (!context_ || !OnOwnerThread()) return false;
  if (currentStore != this && !SwitchTo(this, *context_)) return false;
  if (!pendingDeletions_.empty()) {
    auto deletions = std::move(pendingDeletions_);
    for (auto& deletion : deletions) deletion();
  }
  return true;
}

void TGlStore::Register(TGlResource* resource) { resources_.push_back(resource); }

void TGlStore::Unregister(TGlResource* resource) { std::erase(resources_, resource); }

void TGlStore::DeleteLater(std::function<void()> deletion) {
  pendingDeletions_.push_back(std::move(deletion));
}

GLuint TGlStore::FixedFragment(const TFixedStages& fixed) {
  const uint32_t key = fixed.Key();
  auto it = fixedFragments_.find(key);
  if (it != fixedFragments_.end()) return it->second;
  std::string log;
  const GLuint shader = CompileGlShader(GL_FRAGMENT_SHADER, FixedFragmentShaderSource(fixed), log);
  if (!shader) WriteLine("TGlStore: texture-stage shader failed: " + log);
  return fixedFragments_[key] = shader;
}

const TGlProgram* TGlStore::Program(GLuint vertexShader, GLuint fragmentShader,
                                    const TFixedStages& fixed) {
  const uint32_t combiner = fragmentShader ? 0 : fixed.Key();
  const auto key = std::make_tuple(vertexShader, fragmentShader, combiner);
  auto it = programs_.find(key);
  if (it != programs_.end()) return it->second.id ? &it->second : nullptr;
  const GLuint fragment = fragmentShader ? fragmentShader : FixedFragment(fixed);
  std::string log;
  TGlProgram program;
  if (fragment) program = LinkGlProgram(vertexShader ? vertexShader : fixedVertex_, fragment, log);
  if (!program.id) WriteLine("TGlStore: program link failed: " + log);
  auto& stored = programs_[key] = program;
  return stored.id ? &stored : nullptr;
}

void TGlStore::ForgetShader(GLuint shader) {
  for (auto it = programs_.begin(); it != programs_.end();) {
    if (std::get<0>(it->first) == shader || std::get<1>(it->first) == shader) {
      if (it->second.id) glDeleteProgram(it->second.id);
      it = programs_.erase(it);
    } else {
      ++it;
    }
  }
}

bool TGlStore::EnsureBackBuffer() {
  int width = 0, height = 0;
  context_->DrawableSize(width, height);
  if (!context_->HasWindowFramebuffer()) {
    width = device_->ClientWidth();
    height = device_->ClientHeight();
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (backBuffer_ && backBuffer_->Width() == width && backBuffer_->Height() == height) return true;
  if (backBuffer_) std::exchange(backBuffer_, nullptr)->Release();
  TDeviceError error = TDeviceError::Ok;
  TRef<T3DTextureGL> texture =
      T3DTextureGL::Create(*this, TTextureKind::TargetOpaque, width, height, 1, error);
  if (!texture) return false;
  backBuffer_ = texture.Detach();
  return true;
}

void TGlStore::FreeAll() {
  TDeviceLock lock(DeviceMutex());
  if (!context_) return;
  const bool canDelete = OnOwnerThread() && (currentStore == this || SwitchTo(this, *context_));
  if (canDelete)
    for (auto& deletion : pendingDeletions_) deletion();
  pendingDeletions_.clear();
  auto resources = std::move(resources_);
  for (TGlResource* resource : resources) resource->ReleaseGl(canDelete);
  if (backBuffer_) std::exchange(backBuffer_, nullptr)->Release();
  if (canDelete) {
    for (auto& [key, program] : programs_)
      if (program.id) glDeleteProgram(program.id);
    if (fixedVertex_) glDeleteShader(fixedVertex_);
    for (auto& [key, shader] : fixedFragments_)
      if (shader) glDeleteShader(shader);
  }
  programs_.clear();
  fixedFragments_.clear();
  if (currentStore == this) currentStore = nullptr;
  context_.reset();
}

void TGlStore::DeviceDestroyed() {
  FreeAll();
  device_ = nullptr;
}

void TGlStore::Dispose() { FreeAll(); }

TDeviceError TakeGlError() {
  TDeviceError result = TDeviceError::Ok;
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
    TDeviceError cls = TDeviceError::Lost;
    switch (error) {
      case GL_INVALID_ENUM:
      case GL_INVALID_VALUE:
      case GL_INVALID_OPERATION:
      case GL_INVALID_FRAMEBUFFER_OPERATION:
        cls = TDeviceError::InvalidCall;
        break;
      case GL_OUT_OF_MEMORY:
        cls = TDeviceError::OutOfVideoMemory;
        break;
      default:
        break;
    }
    if (cls > result) result = cls;
    if (error == GL_CONTEXT_LOST) break;  // the error repeats for ever once lost
  }
  return result;
}

void TGlStore::Dispose(TGlResource* resource, std::function<void()> deleteNames) {
  Unregister(resource);
  if (Bind()) {
    resource->ReleaseGl(true);
  } else {
    DeleteLater(std::move(deleteNames));
    resource->ReleaseGl(false);
  }
}

}  // namespace vyr

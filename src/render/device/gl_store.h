#pragma once
// Everything the OpenGL device holds for one draw device: the context, the back buffer
// (a framebuffer object in every case, so offscreen and window frames are made alike), the
// linked programs and the resources made on it. Freeing the store (device loss, the draw
// device going away) detaches every resource, which then behaves as lost.
//
// Threads: the context stays current on the thread that made the store (the drawing
// thread). Other threads never call OpenGL: the slide loader prepares pixel data on its
// own thread and the drawing thread uploads it within a per-frame budget (T3DScreen).
// We chose that over a second context shared with this one because an SDL window's
// context cannot be shared reliably across threads on every backend, llvmpipe gains
// nothing from parallel uploads (they are plain memory copies) and fences would add a
// second synchronisation scheme next to the device mutex.

#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/gl_context.h"
#include "render/device/device_types.h"
#include "render/device/draw_device.h"
#include "render/device/gl_fixed_stages.h"
#include "render/device/gl_program.h"

namespace vyr {

class TGlStore;
class T3DTextureGL;

// A device object made on a store.
class TGlResource {
 public:
  virtual ~TGlResource() = default;
  // The store goes away: delete the GL names (when deleteNames) and forget the store.
  virtual void ReleaseGl(bool deleteNames) = 0;
};

class TGlStore : public TDeviceDependent {
 public:
  // Makes a context for the device and makes it current on the calling thread.
  static TRef<TGlStore> Create(TDrawDevice& device);

  // Ready to issue GL calls on this thread: the store is alive, this is its thread and
  // its context is current. Runs pending deletions.
  bool Bind();
  bool OnOwnerThread() const { return std::this_thread::get_id() == owner_; }
  bool Released() const { return !context_; }
  TGlContext* Context() const { return context_.get(); }
  TDrawDevice* Device() const { return device_; }

  void Register(TGlResource* resource);
  void Unregister(TGlResource* resource);
  // Deletion of GL names asked for on another thread runs at the next Bind.
  void DeleteLater(std::function<void()> deletion);
  // A resource is freed: unregister it and delete its GL names now when this thread may,
  // else run deleteNames later on the drawing thread; either way it forgets the store.
  void Dispose(TGlResource* resource, std::function<void()> deleteNames);

  // Program for (vertex shader or 0, fragment shader or 0), linked on first use; without a
  // fragment shader, the texture-stage combiner made for `fixed`.
  const TGlProgram* Program(GLuint vertexShader, GLuint fragmentShader, const TFixedStages& fixed);
  void ForgetShader(GLuint shader);

  T3DTextureGL* BackBufferTexture() const { return backBuffer_; }
  // (Re)makes the back buffer at the device's client size; false when that fails.
  bool EnsureBackBuffer();

  // Texture memory in use (bytes) and a failure injector: the next `count` texture
  // creations fail as if video memory had run out.
  size_t textureBytes = 0;
  int simulatedOutOfMemory = 0;

  // Frees every resource and the context (the store stays, released).
  void FreeAll();
  void DeviceDestroyed() override;

 protected:
  void Dispose() override;

 private:
  TGlStore() = default;
  TDrawDevice* device_ = nullptr;
  std::unique_ptr<TGlContext> context_;
  std::thread::id owner_;
  std::vector<TGlResource*> resources_;
  std::vector<std::function<void()>> pendingDeletions_;
  GLuint FixedFragment(const TFixedStages& fixed);

  GLuint fixedVertex_ = 0;
  std::map<uint32_t, GLuint> fixedFragments_;  // by TFixedStages::Key
  // By (vertex shader, fragment shader, combiner key or 0).
  std::map<std::tuple<GLuint, GLuint, uint32_t>, TGlProgram> programs_;
  T3DTextureGL* backBuffer_ = nullptr;  // owned: one reference
};

// Releases the context the device layer made current on this thread (before code outside
// the layer makes another one current); the layer makes its own current again on use.
void ReleaseCurrentGlContext();

// Checks glGetError and maps it to an error class: invalid enum, value, operation and
// framebuffer operation → invalid call; out of memory → out of video memory; a lost
// context → lost.
TDeviceError TakeGlError();

}  // namespace vyr

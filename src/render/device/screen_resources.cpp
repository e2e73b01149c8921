#include "render/device/screen_resources.h"

#include "render/device/device_lock.h"

namespace vyr {

TVertexBuffer::TVertexBuffer(T3DScreen& screen, int capacity, uint32_t components, int textureSets)
    : screen_(TRef<T3DScreen>::Share(&screen)),
      capacity_(capacity),
      components_(components),
      textureSets_(textureSets) {
  screen.Register(this);
}

void TVertexBuffer::Dispose() {
  screen_->Unregister(this);
  list_.Reset();
  screen_.Reset();
}

T3DVertexList* TVertexBuffer::DeviceList() {
  TDeviceLock lock(DeviceMutex());
  if (!list_ && screen_->Renderer())
    list_ = screen_->Renderer()->CreateVertexList(capacity_, components_, textureSets_);
  return list_.Get();
}

bool TVertexBuffer::Append(const TVertexRecord* vertices, int count, TPrimitiveType type,
                           int primitives) {
  if (used_ + count > capacity_) return false;
  T3DVertexList* list = DeviceList();
  if (!list || !list->Fill(used_, vertices, count)) return false;
  list->SetPrimitive(used_, primitives, type);
  used_ += count;
  return true;
}

TShader::TShader(T3DScreen& screen, std::string program, bool vertex)
    : screen_(TRef<T3DScreen>::Share(&screen)), program_(std::move(program)), vertex_(vertex) {
  screen.Register(this);
}

void TShader::Dispose() {
  screen_->Unregister(this);
  shader_.Reset();
  screen_.Reset();
}

void TShader::PrepareFrame() {
  if (shader_ && !recreate_) return;
  if (failed_ && !recreate_) return;  // a text that does not compile is not retried each frame
  T3DRenderer* renderer = screen_->Renderer();
  if (!renderer) return;
  shader_ = renderer->CreateShader(program_, vertex_);
  failed_ = !shader_;
  recreate_ = false;
}

}  // namespace vyr

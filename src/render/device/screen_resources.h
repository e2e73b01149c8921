#pragma once
// Device-independent vertex buffers and shaders: they keep what they need to make their
// device object again after the device was re-created.

#include <string>

#include "render/device/screen.h"

namespace vyr {

class TVertexBuffer : public TRefObject, public TScreenResource {
 public:
  TVertexBuffer(T3DScreen& screen, int capacity, uint32_t components, int textureSets);
  // The device list (made when missing; drawing thread only).
  T3DVertexList* DeviceList();
  // Starts filling from the first vertex again (each frame for the shared buffer).
  void Reset() { used_ = 0; }
  // Appends vertices and selects them as the primitive range; false when they do not fit.
  bool Append(const TVertexRecord* vertices, int count, TPrimitiveType type, int primitives);
  void ReleaseDeviceObjects() override { list_.Reset(); }
  void PrepareFrame() override { Reset(); }

 protected:
  void Dispose() override;

 private:
  TRef<T3DScreen> screen_;
  int capacity_;
  uint32_t components_;
  int textureSets_;
  int used_ = 0;
  TRef<T3DVertexList> list_;
};

class TShader : public TRefObject, public TScreenResource {
 public:
  TShader(T3DScreen& screen, std::string program, bool vertex);
  // The device shader; null until a frame of a ready screen made it (or when it does not
  // compile).
  T3DShader* DeviceShader() const { return shader_.Get(); }
  void MarkForRecreation() { recreate_ = true; }
  void ReleaseDeviceObjects() override {
    shader_.Reset();
    failed_ = false;
  }
  void PrepareFrame() override;
  bool IsVertex() const { return vertex_; }

 protected:
  void Dispose() override;

 private:
  TRef<T3DScreen> screen_;
  std::string program_;
  bool vertex_;
  bool recreate_ = false;
  bool failed_ = false;
  TRef<T3DShader> shader_;
};

}  // namespace vyr

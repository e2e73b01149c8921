#pragma once
// Vertex lists and shaders on OpenGL: a buffer with its vertex array, a compiled shader.

#include <epoxy/gl.h>

#include "render/device/device3d.h"
#include "render/device/gl_store.h"
#include "render/device/vertex_layout.h"

namespace vyr {

class T3DVertexListGL : public T3DVertexList, public TGlResource {
 public:
  static TRef<T3DVertexListGL> Create(TGlStore& store, int count, uint32_t components,
                                      int textureSets);
  void SetPrimitive(int first, int count, TPrimitiveType type) override;
  bool Fill(int first, const TVertexRecord* vertices, int count) override;
  int TextureSets() const override { return layout_.textureSets; }
  void ReleaseGl(bool deleteNames) override;

  bool Alive() const { return store_ && vao_; }
  GLuint VertexArray() const { return vao_; }
  GLenum Mode() const;
  int First() const { return first_; }
  // Vertices the primitive range covers.
  int VertexCount() const;

 protected:
  void Dispose() override;

 private:
  T3DVertexListGL() = default;
  TGlStore* store_ = nullptr;
  GLuint buffer_ = 0, vao_ = 0;
  TVertexLayout layout_;
  int capacity_ = 0;
  int first_ = 0, primitiveCount_ = 0;
  TPrimitiveType type_ = TPrimitiveType::TriangleList;
};

class T3DShaderGL : public T3DShader, public TGlResource {
 public:
  // Null when the text does not compile (the log says why).
  static TRef<T3DShaderGL> Create(TGlStore& store, const std::string& source, bool vertex);
  bool IsVertex() const override { return vertex_; }
  void ReleaseGl(bool deleteNames) override;
  bool Alive() const { return store_ && name_; }
  GLuint Name() const { return name_; }

 protected:
  void Dispose() override;

 private:
  T3DShaderGL() = default;
  TGlStore* store_ = nullptr;
  GLuint name_ = 0;
  bool vertex_ = false;
};

}  // namespace vyr

#include "render/device/gl_vertex_list.h"

#include <vector>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "render/device/device_lock.h"

namespace vyr {
namespace {

void Attribute(GLuint index, GLint size, GLenum type, bool normalized, const TVertexLayout& l,
               int offset) {
  glEnableVertexAttribArray(index);
  glVertexAttribPointer(index, size, type, normalized ? GL_TRUE : GL_FALSE, l.stride,
                        reinterpret_cast<const void*>(static_cast<uintptr_t>(offset)));
}

}  // namespace

TRef<T3DVertexListGL> T3DVertexListGL::Create(TGlStore& store, int count, uint32_t components,
                                              int textureSets) {
  TDeviceLock lock(DeviceMutex());
  TVertexLayout layout = MakeVertexLayout(components, textureSets);
  if (count <= 0 || !store.Bind()) return nullptr;
  TRef<T3DVertexListGL> list = TRef<T3DVertexListGL>::Adopt(new T3DVertexListGL());
  list->layout_ = layout;
  list->capacity_ = count;
  TakeGlError();
  glGenVertexArrays(1, &list->vao_);
  glGenBuffers(1, &list->buffer_);
  glBindVertexArray(list->vao_);
  glBindBuffer(GL_ARRAY_BUFFER, list->buffer_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * layout.stride, nullptr,
               GL_DYNAMIC_DRAW);
  Attribute(0, 3, GL_FLOAT, false, layout, 0);
  // ARGB words are B, G, R, A in memory: GL_BGRA reads them as red, green, blue, alpha.
  if (layout.diffuseOffset >= 0)
    Attribute(1, GL_BGRA, GL_UNSIGNED_BYTE, true, layout, layout.diffuseOffset);
  if (layout.specularOffset >= 0)
    Attribute(2, GL_BGRA, GL_UNSIGNED_BYTE, true, layout, layout.specularOffset);
  if (layout.normalOffset >= 0) Attribute(3, 3, GL_FLOAT, false, layout, layout.normalOffset);
  for (int i = 0; i < textureSets; ++i)
    Attribute(static_cast<GLuint>(4 + i), 2, GL_FLOAT, false, layout, layout.texOffset + 8 * i);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  if (TakeGlError() != TDeviceError::Ok) {
    list->ReleaseGl(true);
    return nullptr;
  }
  list->store_ = &store;
  store.Register(list.Get());
  return list;
}

void T3DVertexListGL::SetPrimitive(int first, int count, TPrimitiveType type) {
  VYR_ASSERT_MSG(static_cast<unsigned>(type) <= 5u, "Wrong primitive type");
  first_ = first;
  primitiveCount_ = count;
  type_ = type;
}

bool T3DVertexListGL::Fill(int first, const TVertexRecord* vertices, int count) {
  TDeviceLock lock(DeviceMutex());
  if (first < 0 || count < 0 || first + count > capacity_) return false;
  if (!Alive() || !store_->Bind()) return false;
  std::vector<uint8_t> packed(static_cast<size_t>(count) * static_cast<size_t>(layout_.stride));
  PackVertices(layout_, vertices, count, packed.data());
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first) * layout_.stride,
                  static_cast<GLsizeiptr>(packed.size()), packed.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return TakeGlError() == TDeviceError::Ok;
}

GLenum T3DVertexListGL::Mode() const {
  switch (type_) {
    case TPrimitiveType::PointList:
      return GL_POINTS;
    case TPrimitiveType::LineList:
      return GL_LINES;
    case TPrimitiveType::LineStrip:
      return GL_LINE_STRIP;
    case TPrimitiveType::TriangleList:
      return GL_TRIANGLES;
    case TPrimitiveType::TriangleStrip:
      return GL_TRIANGLE_STRIP;
    case TPrimitiveType::TriangleFan:
      return GL_TRIANGLE_FAN;
  }
  return GL_TRIANGLES;
}

int T3DVertexListGL::VertexCount() const {
  switch (type_) {
    case TPrimitiveType::PointList:
      return primitiveCount_;
    case TPrimitiveType::LineList:
      return primitiveCount_ * 2;
    case TPrimitiveType::LineStrip:
      return primitiveCount_ + 1;
    case TPrimitiveType::TriangleList:
      return primitiveCount_ * 3;
    case TPrimitiveType::TriangleStrip:
    case TPrimitiveType::TriangleFan:
      return primitiveCount_ + 2;
  }
  return 0;
}

void T3DVertexListGL::ReleaseGl(bool deleteNames) {
  if (deleteNames) {
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (buffer_) glDeleteBuffers(1, &buffer_);
  }
  store_ = nullptr;
  vao_ = 0;
  buffer_ = 0;
}

void T3DVertexListGL::Dispose() {
  TDeviceLock lock(DeviceMutex());
  if (store_)
    store_->Dispose(this, [vao = vao_, buffer = buffer_] {
      glDeleteVertexArrays(1, &vao);
      glDeleteBuffers(1, &buffer);
    });
}

TRef<T3DShaderGL> T3DShaderGL::Create(TGlStore& store, const std::string& source, bool vertex) {
  TDeviceLock lock(DeviceMutex());
  if (!store.Bind()) return nullptr;
  std::string log;
  GLuint name = CompileGlShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER,
                                ApplyShaderCompileHook(source, vertex), log);
  if (!name) {
    WriteLine("T3DShader: compile failed: " + log);
    return nullptr;
  }
  TRef<T3DShaderGL> shader = TRef<T3DShaderGL>::Adopt(new T3DShaderGL());
  shader->name_ = name;
  shader->vertex_ = vertex;
  shader->store_ = &store;
  store.Register(shader.Get());
  return shader;
}

void T3DShaderGL::ReleaseGl(bool deleteNames) {
  if (deleteNames && name_) {
    if (store_) store_->ForgetShader(name_);
    glDeleteShader(name_);
  }
  store_ = nullptr;
  name_ = 0;
}

void T3DShaderGL::Dispose() {
  TDeviceLock lock(DeviceMutex());
  if (store_)
    store_->Dispose(this, [name = name_, store = store_] {
      // The programs that use the shader go with the store; only the name is freed.
      store->ForgetShader(name);
      glDeleteShader(name);
    });
}

}  // namespace vyr

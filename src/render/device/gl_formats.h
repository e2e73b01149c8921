#pragma once
// How each surface format lives in OpenGL: internal format, the client layout its memory
// already has (so uploads copy without converting) and the swizzle that gives Direct3D's
// sampled values (L8 as grey, A8 as alpha only, X8R8G8B8 with alpha 1).

#include <epoxy/gl.h>

#include "render/device/device_types.h"

namespace vyr {

struct TGlFormat {
  GLint internalFormat;
  GLenum format;
  GLenum type;
  GLint swizzle[4];
};

const TGlFormat& GlFormat(TSurfaceFormat format);
// Bytes a texture of this size takes, for accounting.
size_t TextureBytes(TSurfaceFormat format, int width, int height, int depth = 1);

}  // namespace vyr

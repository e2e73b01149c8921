#include "render/device/gl_formats.h"

#include "foundation/exceptions.h"

namespace vyr {

const TGlFormat& GlFormat(TSurfaceFormat format) {
  // Memory of A8R8G8B8 is B, G, R, A: GL_BGRA with bytes. R5G6B5 is one 16-bit word with
  // red in the top bits: GL_RGB with GL_UNSIGNED_SHORT_5_6_5.
  static const TGlFormat bgra{
      GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
  static const TGlFormat bgrx{
      GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
  static const TGlFormat rgb565{
      GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
  static const TGlFormat x1rgb555{
      GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
  static const TGlFormat a1rgb555{
      GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
  static const TGlFormat alpha8{
      GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}};
  static const TGlFormat grey8{GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_ONE}};
  switch (format) {
    case TSurfaceFormat::A8R8G8B8:
      return bgra;
    case TSurfaceFormat::X8R8G8B8:
      return bgrx;
    case TSurfaceFormat::R5G6B5:
      return rgb565;
    case TSurfaceFormat::X1R5G5B5:
      return x1rgb555;
    case TSurfaceFormat::A1R5G5B5:
      return a1rgb555;
    case TSurfaceFormat::A8:
      return alpha8;
    case TSurfaceFormat::L8:
      return grey8;
  }
  AssertionFailed("Wrong surface format", __FILE__, __LINE__);
}

size_t TextureBytes(TSurfaceFormat format, int width, int height, int depth) {
  return static_cast<size_t>(BytesPerPixel(format)) * static_cast<size_t>(width) *
         static_cast<size_t>(height) * static_cast<size_t>(depth);
}

}  // namespace vyr

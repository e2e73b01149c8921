#pragma once
// Values shared by every class of the device layer: texture kinds, surface formats, error
// classes, primitives and the vertex record.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vyr {

// What CreateTexture makes: 0 picture (A8R8G8B8), 1 render target (X8R8G8B8),
// 2 render target (A8R8G8B8), 3 grey-scale picture (L8), 4 picture (R5G6B5).
enum class TTextureKind : uint8_t {
  Picture = 0,
  TargetOpaque = 1,
  TargetAlpha = 2,
  GreyPicture = 3,
  Picture565 = 4
};
constexpr int kTextureKindCount = 5;
// Picture kinds live in the managed pool: they are re-filled after a loss.
bool IsManagedKind(TTextureKind kind);
bool IsRenderTargetKind(TTextureKind kind);

// Pixel layouts as Direct3D names them; memory order is the name read backwards.
enum class TSurfaceFormat : uint8_t { A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5, A8, L8 };
TSurfaceFormat KindFormat(TTextureKind kind);
int BytesPerPixel(TSurfaceFormat format);
// The bitmap pixel-format name a surface of this format is read into: 32-bit "A8R8G8B8",
// 16-bit "R5G6B5", "X1R5G5B5", 8-bit "A8" or "Y8".
std::string BitmapFormatName(TSurfaceFormat format);

// Error class of a device call: 0 success, 1 invalid call, 2 out of video memory,
// 3 device lost or any other failure.
enum class TDeviceError : uint8_t { Ok = 0, InvalidCall = 1, OutOfVideoMemory = 2, Lost = 3 };

enum class TPrimitiveType : uint8_t {
  PointList = 0,
  LineList = 1,
  LineStrip = 2,
  TriangleList = 3,
  TriangleStrip = 4,
  TriangleFan = 5
};

// Optional parts of a stored vertex (position and 1 to 8 coordinate pairs always exist).
enum TVertexComponent : uint32_t { vcDiffuse = 1, vcSpecular = 2, vcNormal = 4 };

// Input record of T3DVertexList::Fill.
struct TVertexRecord {
  float x = 0, y = 0, z = 0;
  float tex[8][2] = {};
  uint32_t diffuse = 0xFFFFFFFF;  // ARGB
  uint32_t specular = 0;
  float nx = 0, ny = 0, nz = 0;
};

// Pixels of a locked rectangle: rows `pitch` bytes apart, top row first.
struct TLockedPixels {
  uint8_t* bits = nullptr;
  int pitch = 0;
  int width = 0, height = 0;
  TSurfaceFormat format = TSurfaceFormat::A8R8G8B8;
  std::vector<uint8_t> storage;  // owns the pixels when the lock copied them
  uint8_t* Row(int y) const { return bits + static_cast<ptrdiff_t>(y) * pitch; }
};

struct TBox {
  int left = 0, top = 0, front = 0, right = 0, bottom = 0, back = 0;
};

}  // namespace vyr

#pragma once
// Colour cubes (32 levels per channel) and single colours converted through them.

#include <cstdint>

#include "imaging/bitmap/bitmap.h"
#include "imaging/colour/color_profile.h"

namespace vyr {

constexpr int kCubeSide = 32;
// The identity level of cube entry n: 8n + n div 4 (0, 8, ..., 255).
constexpr uint8_t CubeLevel(int n) { return static_cast<uint8_t>(8 * n + n / 4); }

// 32 x 1024 "R8G8B8": row i * 32 + j, column k holds blue level(i), green level(j), red level(k).
TRef<TSysBitmap> MakeIdentityCube();

// A colour 0x00RRGGBB through a cube, trilinear between its entries.
uint32_t ConvertColorThroughCube(const TBitmap& cube, uint32_t color);

// Through the profile's cube (the output profile when none is given); unchanged when there is
// neither a profile nor a cube.
uint32_t ConvertColor(TColorProfile* profile, uint32_t color);

}  // namespace vyr

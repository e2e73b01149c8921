#pragma once
// Zeroed memory for bitmap pixels.

#include <cstddef>
#include <cstdint>

namespace vyr {

// Blocks from this size on come straight from the kernel, 2 MiB aligned and marked for huge
// pages: a fresh 24-megapixel picture then takes a few dozen page faults instead of 18,000,
// which cost more than a third of its decoding.
inline constexpr size_t kHugePixelBlock = size_t{4} << 20;

// Zeroed; null when there is no memory.
uint8_t* AllocatePixels(size_t bytes);
// bytes must be the size the block was allocated with.
void FreePixels(uint8_t* pixels, size_t bytes);

}  // namespace vyr

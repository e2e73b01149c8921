#pragma once
// GIF pictures: the still first frame, or every frame laid side by side for animation.

#include <cstddef>
#include <string>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

// The frame table of an animation, attached to the frames atlas's store.
class TTilesTag : public TRefObject {
 public:
  int32_t frameWidth = 0;  // the GIF's logical screen
  int32_t frameHeight = 0;
  int32_t frameCount = 0;
  int32_t framesUsed = 0;
  int32_t rows = 1;
  int32_t totalDuration = 0;    // ms
  int32_t averageDuration = 0;  // ms, total div count
  std::string durations;        // ms per frame, joined by ","
  int32_t repeatCount = 1;      // 0 repeats without end; 1 without a looping extension
};

// Frames whose combined atlas would exceed this many pixels are left out.
constexpr int64_t kMaxAtlasPixels = 26214400;
// And frames past this count: tiny frames cost more than their pixels.
constexpr size_t kMaxAtlasFrames = 16384;

// The first image at its own size (offsets ignored), or null with the stream put back (also
// above the pixel budget or the file size budget).
TRef<TBitmapStore> ReadGifFirstFrame(TStream& stream, const std::string& name,
                                     const TRotationHook& rotation);
// The frames atlas with a TTilesTag for an animated GIF; the first frame for a still one.
TRef<TBitmapStore> ReadGifFramesAtlas(TStream& stream, const std::string& name,
                                      const TRotationHook& rotation);

}  // namespace vyr

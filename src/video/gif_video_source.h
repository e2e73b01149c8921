#pragma once
// Frames of an animated GIF picture as a clip: the frames atlas of the picture decoder,
// N frames shown evenly over the animation's total duration, delivered as BGRA.

#include <string>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap.h"
#include "video/frame_source.h"

namespace vyr {

class TGifVideoSource : public TFrameSource {
 public:
  // None when the stream is not a GIF picture.
  static TRef<TGifVideoSource> Open(TStream& stream, const std::string& fileName);
  bool GetFrame(int index, TVideoPicture& picture) override;

 private:
  TRef<TBitmap> atlas_;
};

}  // namespace vyr

#pragma once
// The media library's frame source over FFmpeg: a stream opened through the shared custom
// I/O context, its packets scanned once at open for the table of presentation times
// (N = the table's length, fps = N / duration), frames decoded with frame threading and
// delivered as limited-range planar YUV 4:2:0 or as BGRA (libswscale converts anything
// else). GetFrame(i) gives exactly frame i: the next index decodes on, any other seeks to
// the key frame at or before it and decodes forward.

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap.h"
#include "video/frame_source.h"

namespace vyr {

class TWinVideoSource : public TFrameSource {
 public:
  // None when the stream is not a video FFmpeg decodes (or its frames are absurdly large).
  static TRef<TWinVideoSource> Open(TRef<TStream> stream, const std::string& fileName);
  ~TWinVideoSource() override;

  bool GetFrame(int index, TVideoPicture& picture) override;
  // The 24-bit path: frame index as full-range RGB into a bitmap of 3 bytes a pixel (blue,
  // green, red), scaled to its size.
  bool GetFrame24(int index, TSysBitmap& bitmap);
  // Presentation time of frame i in the stream's time base units.
  int64_t FramePts(int index) const;

 private:
  TWinVideoSource();
  struct TState;
  std::unique_ptr<TState> state_;
};

}  // namespace vyr

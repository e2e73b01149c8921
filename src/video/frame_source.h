#pragma once
// A frame source: a clip's parameters and its frames by index. Made by the chain in
// frame_source_factory.h; the media library's source is TWinVideoSource, animated GIF
// pictures have TGifVideoSource.

#include <string>

#include "foundation/ref_object.h"
#include "scene/video/video_playback.h"

namespace vyr {

class TVideoPicture;

class TFrameSource : public TRefObject {
 public:
  const TVideoSourceInfo& Params() const { return params_; }
  // "MPEG2", "MPEG4", "H264", "XVID" or "OTHER".
  const std::string& CodecName() const { return codecName_; }
  // Decodes frame index into the picture (of the kind and size the parameters give).
  virtual bool GetFrame(int index, TVideoPicture& picture) = 0;

 protected:
  TVideoSourceInfo params_;
  std::string codecName_ = "OTHER";
};

}  // namespace vyr

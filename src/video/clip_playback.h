#pragma once
// The video library's side of a video object: the object's (or its shared clip's) timing
// over the host's extractor wrapper of the file. InstallVideoClips makes the scene's video
// objects use it.

#include "scene/video/clip_timing.h"
#include "scene/video/video_playback.h"
#include "video/extractor_wrapper.h"
#include "video/video_clip.h"

namespace vyr {

class TClipPlayback : public TVideoPlayback {
 public:
  explicit TClipPlayback(const TVideoPlaybackRequest& request);

  TVideoState State() const override { return wrapper_->State(); }
  const std::string& FileName() const override { return wrapper_->FileName(); }
  bool Info(TVideoSourceInfo& info) const override { return wrapper_->Info(info); }
  double ClipTime(double x, const TVideoTimes& times) const override;
  void AddPictures(TDeviceDrawer& drawer) override { wrapper_->AddPictures(drawer); }
  void Prefetch(bool wait, double clipMs) override { wrapper_->Prefetch(wait, clipMs); }
  void Request(bool wait, double clipMs) override;
  bool Lend(double rate, double clipMs, TVideoLend& lend) override {
    return wrapper_->Lend(rate, clipMs, lend);
  }
  void GiveBack() override { wrapper_->GiveBack(); }
  const TColorLut& ColourCube(bool colourManagement) override;

  // The timing after clamping to the clip's length (S before any anchoring).
  const TClipTiming& Timing() const { return timing_; }
  TExtractorWrapper& Wrapper() const { return *wrapper_; }
  TVideoClip2* Clip() const { return clip_.Get(); }

 protected:
  void Dispose() override;

 private:
  TRef<TVideoClip2> clip_;
  TRef<TExtractorWrapper> wrapper_;
  TClipTiming timing_;
};

// Video objects of every slide built from now on play their clips.
void InstallVideoClips();

}  // namespace vyr

#include "video/clip_playback.h"

#include "scene/host/slide_host.h"
#include "video/video_cube.h"

namespace vyr {

TClipPlayback::TClipPlayback(const TVideoPlaybackRequest& request) {
  const TVideoKeys& keys = *request.keys;
  if (request.project) clip_ = TVideoClip2::Find(*request.project, keys.clipGuid);
  const std::string& fileName = clip_ ? clip_->FileName() : keys.fileName;
  const bool fromDisk = clip_ ? clip_->LoadFromDisk() : keys.loadFromDisk;
  wrapper_ = TExtractorWrapper::ForFile(*request.host, fileName, fromDisk);
  if (clip_ && wrapper_->State() == TVideoState::Opened) clip_->ApplyLength(wrapper_->LengthMs());
  timing_.start = clip_ ? clip_->StartVyrTime() : keys.startVyrTime;
  timing_.duration = clip_ ? clip_->Duration() : keys.duration;
  timing_.startInClip = clip_ ? clip_->StartVideoTime() : keys.startVideoTime;
  timing_.multiplier = clip_ ? clip_->FpsMultiplier() : keys.fpsMultiplier;
  ClampToLength(timing_, wrapper_->LengthMs());
}

void TClipPlayback::Dispose() {
  wrapper_.Reset();
  clip_.Reset();
  TExtractorWrapper::Prune();
  TVideoPlayback::Dispose();
}

double TClipPlayback::ClipTime(double x, const TVideoTimes& times) const {
  TClipTiming timing = timing_;
  // A shared clip runs on from its anchor: on a later slide it is that much further on.
  if (clip_) timing.start -= times.slideStart - clip_->Anchor();
  return ClipTimeOf(timing, x, times.appearance);
}

void TClipPlayback::Request(bool wait, double clipMs) {
  TVyrVideoExtractor* extractor = wrapper_->Extractor();
  if (!extractor) return;
  if (!extractor->Request(wait, clipMs, VideoWaitTimeoutMs()))
    NoteVideoWaitTimeout(wrapper_->FileName());
}

const TColorLut& TClipPlayback::ColourCube(bool colourManagement) {
  TVideoSourceInfo info;
  return VideoColourCube(wrapper_->Info(info) && info.rgba, colourManagement);
}

void InstallVideoClips() {
  SetVideoPlaybackFactory([](const TVideoPlaybackRequest& request) -> TRef<TVideoPlayback> {
    if (!request.keys || !request.host) return nullptr;
    return MakeRef<TClipPlayback>(request);
  });
}

}  // namespace vyr

#pragma once
// A video object: its keys, framing and placement; its frames come from the clip playback
// the video library makes (scene/video/video_playback.h). A clip that cannot be opened
// draws the video placeholder picture in the object's place.

#include <optional>
#include <string>

#include "imaging/bitmap/bitmap_store.h"
#include "scene/objects/frame_computation.h"
#include "scene/objects/object_shadow.h"
#include "scene/objects/vyr_object.h"
#include "scene/video/video_playback.h"

namespace vyr {

class TIniFile;

class TVyrVideo : public TVyrObject {
 public:
  using TVyrObject::TVyrObject;

  bool IsChanged() const override;
  void FinishFrame() override;
  void DrawSelf(TDeviceDrawer& drawer) override;
  void GetColourLookup(TImageDrawParams& params) override;
  void ReadKeys(const TIniObject* object) override;
  void SetTime(bool recursive, double showTime) override;
  void InitDefaults() override {}
  bool GetNaturalSize(float& width, float& height) override;
  void UpdateLayout(bool recursive) override;
  void PrepareResources(TDeviceDrawer& drawer) override;
  void RequestFrames(TDeviceDrawer& drawer, double slideTime) override;
  void ReleaseResources() override;
  void CommitState(bool recursive) override;

  const TVideoKeys& Keys() const { return keys_; }
  const TBorderParams& Border() const { return border_; }
  std::optional<int> ImageIndex() const { return imageIndex_; }
  // The clip; made on first use when the video library is installed.
  TVideoPlayback* Playback();
  // Position in the clip (ms) at the current time.
  double CurrentClipTime();
  TFloatRect Visible() const { return visible_; }
  TShadow* DropShadow() const { return dropShadow_.Get(); }

 protected:
  TFloatRect VisibleSubRect() const override { return visible_; }

 private:
  double ClipTimeAt(double slideTime);
  void ComputeFrame();
  void UpdateShadow();
  void DrawShadow(TDeviceDrawer& drawer);
  void DrawPlaceholder(TDeviceDrawer& drawer);
  // The "Video not found" or "Video load error:" picture of a clip that did not open.
  TImage* Placeholder();
  void FillImageParams(TImageDrawParams& params) const;
  // Inside a mask stencil the clip's luma is the mask.
  bool InsideMaskStencil() const;

  TVideoKeys keys_;
  TBorderParams border_;
  std::optional<int> imageIndex_;
  TRef<TIniFile> project_;
  TRef<TVideoPlayback> playback_;
  bool playbackTried_ = false;
  TRef<TImage> placeholder_;
  TObjectShadow dropShadow_;
  TColorLut filteredLeft_, filteredRight_;
  TFloatRect visible_;
  float margin_ = 0;
  double showTime_ = 0;
  bool lent_ = false;
  TVideoLend lend_;
  bool lagging_ = false;
  int shownIndex_ = -1;   // the frame index of the time last drawn
  int wantedIndex_ = -1;  // the frame index of the current time
};

}  // namespace vyr

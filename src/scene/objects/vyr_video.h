#pragma once
// The object side of a video clip: its keys, framing and placement. Frames come from a frame
// source attached later; without one nothing is drawn.

#include <string>

#include "scene/objects/vyr_image.h"

namespace vyr {

enum class TDeinterlace : uint8_t { Auto = 0, Wave, BobEven, BobOdd };

struct TVideoKeys {
  std::string clipGuid;
  bool mute = false;
  float startVyrTime = 0;
  float fpsMultiplier = 1;
  bool loadFromDisk = false;
  std::string fileName;  // the file keys apply only without a clip
  float duration = 0;
  float startVideoTime = 0;
  bool antialiasedBorder = true;
  TDeinterlace deinterlace = TDeinterlace::Auto;
  bool waitForConvert = false;
  bool chromaEnable = false;
  float chromaKey[3] = {0, 0, 0};
  float chromaDelta = 0;
};

class TVyrVideo : public TVyrObject {
 public:
  using TVyrObject::TVyrObject;

  void FinishFrame() override {}
  void DrawSelf(TDeviceDrawer& drawer) override;
  void GetColourLookup(TImageDrawParams& params) override;
  void ReadKeys(const TIniObject* object) override;
  void SetTime(bool recursive, double showTime) override;
  void InitDefaults() override {}
  bool GetNaturalSize(float& width, float& height) override;
  void RequestFrames(TDeviceDrawer& /*drawer*/, double /*showTime*/) override {}

  const TVideoKeys& Keys() const { return keys_; }
  const TBorderParams& Border() const { return border_; }
  std::optional<int> ImageIndex() const { return imageIndex_; }
  // The current frame picture; none until a frame source exists.
  TRefObject* Frame() const { return frame_.Get(); }

 private:
  TVideoKeys keys_;
  TBorderParams border_;
  std::optional<int> imageIndex_;
  TRef<TRefObject> frame_;
  double showTime_ = 0;
};

}  // namespace vyr

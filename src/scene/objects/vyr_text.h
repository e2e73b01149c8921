#pragma once
// A text object: its lines with their macros expanded, rendered by the host as a text
// picture; its height follows ScaleY in percent of the parent's height.

#include <string>
#include <vector>

#include "imaging/text/text_description.h"
#include "scene/objects/vyr_image.h"

namespace vyr {

class TVyrText : public TVyrImage {
 public:
  using TVyrImage::TVyrImage;

  void UpdateLayout(bool recursive) override;
  void ReadKeys(const TIniObject* object) override;
  void SetTime(bool recursive, double showTime) override;
  bool HitTestSelf(float x, float y) override;
  bool EnsureImage() override;
  float GetDrawOpacity() const override;
  void FillDrawParams(TDeviceDrawer& drawer, TImageDrawParams& params) override;
  void NeededSizeChanged() override;
  std::string RequestName() const override;
  bool TakesMouseStates() const override { return true; }
  bool ReactsToMouse() const override { return !ActionText().empty(); }
  void ShadowSilhouette(TShadowParams& params) const override;
  float ShadowBlurScale() const override;
  float ShadowDistanceBase() const override;
  // The height of one line in picture pixels.
  float LineHeight() const;

  const std::vector<std::string>& Lines() const { return lines_; }
  // The lines with their macros replaced.
  std::vector<std::string> ExpandedLines();
  const TTextParams& TextParams() const { return params_; }
  uint32_t Color(int state) const { return colors_[state]; }
  // The colour drawn in that state: Color in the display profile.
  uint32_t ManagedColor(int state) const { return managedColors_[state]; }
  void SetCaptionColor(uint32_t color);
  bool IsComment() const { return isComment_; }
  void ClearComment() { isComment_ = false; }
  bool Rasterize() const { return rasterize_; }
  double ShowTime() const { return showTime_; }
  // The button whose caption this text is (none otherwise).
  void SetCaptionOf(TVyrImage* button) { captionOf_ = button; }
  TVyrImage* CaptionOf() const { return captionOf_; }

 protected:
  void Dispose() override;

 private:
  std::string MacroValue(const std::string& macro);
  // The display-profile copies of the three colours; an equal colour shares the conversion.
  void ManageColors();

  std::vector<std::string> lines_;
  std::vector<std::string> expanded_;
  TTextParams params_;
  uint32_t colors_[3] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  uint32_t managedColors_[3] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  bool rasterize_ = false;
  std::string rasterizedGuid_;
  bool isComment_ = false;
  double showTime_ = 0;
  double pictureScale_ = kDefaultTextScale;
  TVyrImage* captionOf_ = nullptr;
};

}  // namespace vyr

#pragma once
// An on-screen button: a theme picture for its state and a caption text (its first child).

#include <memory>
#include <string>

#include "scene/button/button_theme.h"
#include "scene/objects/vyr_image.h"

namespace vyr {

class TVyrText;

class TVyrButton : public TVyrImage {
 public:
  using TVyrImage::TVyrImage;

  void ReadKeys(const TIniObject* object) override;
  void CreateChildren() override;
  void SetTime(bool recursive, double showTime) override;
  void UpdateLayout(bool recursive) override;
  bool EnsureImage() override;
  float GetDrawOpacity() const override { return GetOpacity() * buttonOpacity_ / 100; }
  float GetDrawCaptionOpacity() const override { return GetOpacity() * textOpacity_ / 100; }
  std::string RequestName() const override;
  bool TakesMouseStates() const override { return true; }
  bool ReactsToMouse() const override { return true; }
  void SetMouseState(int state) override;
  void ShadowSilhouette(TShadowParams& params) const override;
  float ShadowBlurScale() const override;
  float ShadowDistanceBase() const override;

  TVyrText* Caption() const;
  const std::string& Theme() const { return theme_; }
  float ButtonOpacity() const { return buttonOpacity_; }
  float TextOpacity() const { return textOpacity_; }
  double ShowTime() const { return showTime_; }
  // Whether a theme (the button's or "aqua") was loaded; the theme name then names it.
  bool Themed() const { return themeHeight_ > 0; }

 private:
  void LoadThemeOnce();
  // The theme width rule from the caption's size; the reference width without a caption.
  int ThemedWidth() const;

  std::string theme_;
  float buttonOpacity_ = 100;
  float textOpacity_ = 100;
  int hue_ = 0, saturation_ = 0, lightness_ = 0;
  float minWidth_ = 0;
  float offsetX_ = 100;
  double showTime_ = 0;
  int requestedState_ = -1;
  bool themeTried_ = false;
  int themeWidth_ = 0, themeHeight_ = 0;
  int requestedWidth_ = -1;
  std::shared_ptr<const TButtonTheme> composition_;  // the loaded theme's pieces
};

}  // namespace vyr

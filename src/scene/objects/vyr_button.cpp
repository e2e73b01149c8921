#include "scene/objects/vyr_button.h"

#include <algorithm>
#include <cmath>

#include "scene/animation/animated_fields.h"
#include "scene/button/button_compose.h"
#include "scene/button/button_name.h"
#include "scene/button/button_producer.h"
#include "scene/button/button_width.h"
#include "scene/host/slide_host.h"
#include "scene/object_kind.h"
#include "scene/objects/object_keys.h"
#include "scene/objects/vyr_text.h"

namespace vyr {

void TVyrButton::ReadKeys(const TIniObject* o) {
  if (o) {
    theme_ = KeyText(o, "Theme", "");
    buttonOpacity_ = KeyFloat(o, "BtnOpacity", 100);
    textOpacity_ = KeyFloat(o, "TxtOpacity", 100);
    hue_ = KeyInt(o, "Hue", 0);
    saturation_ = KeyInt(o, "Saturation", 0);
    lightness_ = KeyInt(o, "Lightness", 0);
    minWidth_ = KeyFloat(o, "BtnMinWidth", minWidth_);
    offsetX_ = KeyFloat(o, "BtnOffsetX", 100);
    themeTried_ = false;
    themeWidth_ = themeHeight_ = 0;
    composition_.reset();
  }
  TVyrImage::ReadKeys(o);
  lodBias_ = 0;
}

void TVyrButton::CreateChildren() {
  TVyrImage::CreateChildren();
  if (TVyrText* caption = Caption()) caption->SetCaptionOf(this);
}

TVyrText* TVyrButton::Caption() const {
  if (ChildCount() == 0 || Child(0)->Kind() != kKindText) return nullptr;
  return dynamic_cast<TVyrText*>(Child(0));
}

std::string TVyrButton::RequestName() const {
  const int width = static_cast<int>(std::lround(std::isfinite(OwnWidth()) ? OwnWidth() : 0));
  return ButtonPictureName({theme_, mouseState_, width, hue_, saturation_, lightness_});
}

namespace {

// A caption whose first keyframe is not at the theme's size takes it, across and down.
void FitCaptionScale(TVyrText& caption, double btnOffset) {
  TVyrObjectProps& props = caption.Props();
  if (props.KeyFrameCount() == 0) return;
  const auto scale = static_cast<float>(100 - btnOffset);
  if (props.KeyFrame(0).Value(kValueScaleX) == scale) return;
  props.SetKeyFrameValue(0, kValueScaleX, scale);
  props.SetKeyFrameValue(0, kValueScaleY, scale);
}

}  // namespace

void TVyrButton::LoadThemeOnce() {
  if (themeTried_) return;
  themeTried_ = true;
  TVyrSlideHost* host = GetHost();
  if (!host || theme_.empty()) return;
  TRef<TButtonProducer> producer = host->ButtonProducers().LoadTheme(host->Files(), theme_);
  if (!producer) return;  // not even "aqua": the stand-in stays
  const TButtonTheme theme = producer->Theme();
  if (theme.referenceWidth <= 0 || theme.referenceHeight <= 0) return;
  themeWidth_ = theme.referenceWidth;
  themeHeight_ = theme.referenceHeight;
  if (TVyrText* caption = Caption()) caption->SetCaptionColor(theme.captionColor);
  if (!image_) {
    offsetX_ = 100;
    minWidth_ = static_cast<float>(theme.btnMinWidth);
    if (TVyrText* caption = Caption()) FitCaptionScale(*caption, theme.btnOffset);
  }
  static constexpr TFiltering kFilterings[] = {TFiltering::Default, TFiltering::Nearest,
                                               TFiltering::Bilinear};
  filtering_ = kFilterings[static_cast<int>(theme.filtering) % 3];
  composition_ = std::make_shared<const TButtonTheme>(theme);
  SetOwnSize(static_cast<float>(themeWidth_), static_cast<float>(themeHeight_));
}

int TVyrButton::ThemedWidth() const {
  TVyrText* caption = Caption();
  if (!caption || !caption->EnsureImage() || caption->Picture()->Height() == 0) return themeWidth_;
  const TVyrObjectProps& props = caption->Props();
  const double scale = props.KeyFrameCount() > 0 ? props.KeyFrame(0).Value(kValueScaleX) : 100.0;
  const double aspect = static_cast<double>(caption->Picture()->Width()) /
                        static_cast<double>(caption->Picture()->Height());
  // The rule may give less than the reference width; only a width that would place the
  // right pieces left of the picture is raised, as the composition raises it.
  const int width = ButtonWidth(themeHeight_, minWidth_, scale, aspect, offsetX_);
  return composition_ ? ComposedButtonWidth(*composition_, mouseState_, width) : width;
}

bool TVyrButton::EnsureImage() {
  LoadThemeOnce();
  int width = -1;
  if (Themed()) {
    width = ThemedWidth();
    if (static_cast<int>(std::lround(OwnWidth())) != width)
      SetOwnSize(static_cast<float>(width), static_cast<float>(themeHeight_));
  }
  if (requestedState_ != mouseState_ || requestedWidth_ != width) {
    requestedState_ = mouseState_;
    requestedWidth_ = width;
    requested_ = false;
    if (image_) previousImage_ = image_;
    image_.Reset();
  }
  if (TVyrImage::EnsureImage()) return true;
  // Without its picture a button takes its caption's size, so that it is seen and hit.
  if (TVyrText* caption = Caption(); caption && caption->EnsureImage()) {
    TImage* picture = caption->Picture();
    SetOwnSize(static_cast<float>(picture->Width()), static_cast<float>(picture->Height()));
  }
  return false;
}

void TVyrButton::SetMouseState(int state) {
  if (state != mouseState_) changed_ = true;
  TVyrImage::SetMouseState(state);
  if (TVyrText* caption = Caption()) caption->SetMouseState(state);
}

void TVyrButton::SetTime(bool recursive, double showTime) {
  showTime_ = showTime;
  TVyrImage::SetTime(recursive, showTime);
}

void TVyrButton::UpdateLayout(bool recursive) { TVyrImage::UpdateLayout(recursive); }

void TVyrButton::ShadowSilhouette(TShadowParams& params) const {
  const int level = std::clamp(ReductionLevelValue(), 0, 30);
  params.right = static_cast<float>(image_->Width() >> level);
  params.bottom = static_cast<float>(image_->Height() >> level);
}

float TVyrButton::ShadowBlurScale() const {
  return ButtonShadowBlurScale(NaturalHeight(), ReductionLevelValue());
}

float TVyrButton::ShadowDistanceBase() const { return 3 * NaturalHeight(); }

}  // namespace vyr

#include "scene/objects/vyr_button.h"

#include <cmath>

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
  return "Button: " + theme_ + ":" + std::to_string(mouseState_) + ":" + std::to_string(width) +
         ":" + std::to_string(hue_) + ":" + std::to_string(saturation_) + ":" +
         std::to_string(lightness_);
}

bool TVyrButton::EnsureImage() {
  if (requestedState_ != mouseState_) {
    requestedState_ = mouseState_;
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

}  // namespace vyr

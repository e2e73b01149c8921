#pragma once
// The reserved picture name of a button picture: theme, state, width and colour shift.

#include <string>
#include <string_view>

#include "scene/host/reserved_names.h"

namespace vyr {

enum TButtonState : int { kButtonNormal = 0, kButtonHover = 1, kButtonClick = 2 };
inline constexpr int kButtonStateCount = 3;

struct TButtonPictureRequest {
  std::string theme;
  int state = kButtonNormal;
  int width = 0;
  int hue = 0;         // degrees
  int saturation = 0;  // percent
  int lightness = 0;   // percent
  bool operator==(const TButtonPictureRequest&) const = default;
};

// "Button: " + theme:state:width:hue:saturation:lightness, integers in decimal.
std::string ButtonPictureName(const TButtonPictureRequest& request);
bool IsButtonPictureName(std::string_view name);
// Values that do not parse become 0.
TButtonPictureRequest ParseButtonPictureName(std::string_view name);

}  // namespace vyr

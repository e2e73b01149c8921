#pragma once
// The parameters of one drop shadow and the reserved picture name that carries them, so that
// equal shadows are generated once and shared through the picture cache.

#include <cstdint>
#include <string>
#include <string_view>

#include "scene/host/reserved_names.h"

namespace vyr {

// The picture name of a filled silhouette (no picture alpha).
inline constexpr std::string_view kNoShadowPicture = "N\\A";

// Fill kinds of a filled silhouette: gradients by corner or side, 8 is solid.
enum TShadowFill : uint8_t {
  kFillTopLeftToBottomRight = 0,
  kFillTopRightToBottomLeft = 1,
  kFillBottomRightToTopLeft = 2,
  kFillBottomLeftToTopRight = 3,
  kFillBottomToTop = 4,
  kFillTopToBottom = 5,
  kFillLeftToRight = 6,
  kFillRightToLeft = 7,
  kFillSolid = 8,
};

struct TShadowParams {
  std::string pictureName{kNoShadowPicture};
  float left = 0, top = 0, right = 0, bottom = 0;  // silhouette rectangle at the level
  float marginX = 0, marginY = 0;                  // frame border around it
  int frameAlpha = 255;
  float blur = 0;
  int spreadIndex = 0;  // built-in tone curve; 0 (linear) does not spread
  uint8_t startAlpha = 255, endAlpha = 255;
  uint8_t fillKind = kFillSolid;
  int level = 0;
  bool follow3D = false;  // not part of the name
  bool animated = false;  // not part of the name

  // Silhouette size: the rectangle plus both margins.
  float SilhouetteWidth() const { return right - left + 2 * marginX; }
  float SilhouetteHeight() const { return bottom - top + 2 * marginY; }
};

// "Shadow: " + left:top:right:bottom:marginX:marginY:frameAlpha:blur:spread:fill:start:end:
// level: + the picture name.
std::string ShadowPictureName(const TShadowParams& params);
bool IsShadowPictureName(std::string_view name);
// Values that do not parse become 0, except frame alpha (255) and fill kind (8).
TShadowParams ParseShadowPictureName(std::string_view name);

// Whether an existing shadow can stay: rectangle and margins exactly, blur within 0.001 and
// the other generated values equal (follow 3D is not compared).
bool SameShadowParams(const TShadowParams& a, const TShadowParams& b);

// Boxes and videos: the rectangle (which starts at 0, 0) and margins scaled so that the
// silhouette holds about 40,000 pixels, the blur scaled with it, no picture.
TShadowParams NormaliseScaledParams(const TShadowParams& params);

// The halvings that bring a w x h silhouette within 700,000 pixels and 10,000 a side;
// w and h are halved in place.
int ShadowHalvings(float& width, float& height);

}  // namespace vyr

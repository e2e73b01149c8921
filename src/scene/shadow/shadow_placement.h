#pragma once
// Where one frame's shadow picture is drawn: offset by distance and angle (along the object's
// plane when it follows 3D), moved back by the blur border, scaled back from the silhouette's
// reduction level and halvings.

#include "scene/geometry.h"
#include "scene/shadow/shadow_params.h"

namespace vyr {

class TShadow;

struct TShadowDrawInput {
  TVec3 origin;  // the object's placement origin
  TVec3 axisX;   // per pixel of the object's own size (boxes and videos: the full edges)
  TVec3 axisY;
  float cornerX = 0;  // the negated pivot offset ((0, 0) for boxes and videos)
  float cornerY = 0;
  float opacity = 0;   // the object's draw opacity x ShadowOpacity / 100
  float angle = 45;    // degrees, y pointing down
  float distance = 0;  // percent of the distance base on the screen
};

struct TShadowDrawPlan {
  bool visible = false;
  TVec3 origin, axisX, axisY;  // for the shadow picture's pixels
  float cornerX = 0, cornerY = 0;
};

// pictureWidth, pictureHeight: the generated shadow picture's size.
TShadowDrawPlan PlanShadowDraw(const TShadowParams& params, bool scaled, float distanceBase,
                               int pictureWidth, int pictureHeight, const TShadowDrawInput& in);
// The same for a shadow with its picture (not visible without one).
TShadowDrawPlan PlanShadowDraw(const TShadow& shadow, const TShadowDrawInput& in);

}  // namespace vyr

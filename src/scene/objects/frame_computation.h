#pragma once
// The framing of a picture: aspect window, zoom and pan, border margin and crop give the
// visible sub-rectangle of the picture and the content size.

#include <cstdint>
#include <vector>

#include "project/ini/model.h"
#include "scene/device_drawer.h"

namespace vyr {

struct TBorderParams {
  bool enableBorder = false;
  bool enableCrop = false;
  bool enableAspect = false;
  float borderWidth = 1.5f;  // percent of the framed rectangle's height
  uint32_t borderColor = 0xFFFFFFFF;
  float crop[4] = {0, 0, 0, 0};  // left, top, right, bottom insets, percent
  float aspect = 0;              // width / height; 0.001 or less: the picture's own
  // Working values of one computation.
  float zoom = 100;  // 100 / (Zoom x 0.01)
  float offsetX = 0, offsetY = 0;
};

struct TFrameResult {
  TFloatRect visible;  // in picture pixels
  float margin = 0;    // border pixels on every side
  float contentWidth = 0, contentHeight = 0;
};

// The border, crop and aspect keys that pictures and videos share.
void ReadBorderKeys(const TIniObject* object, TBorderParams& border);

// The working copy for the current Frame values (Zoom, OffsX, OffsY percent).
TBorderParams FrameWorkingCopy(const TBorderParams& params, float zoom, float offsetX,
                               float offsetY);
// Picture of width x height pixels; pixelAspect scales the width (1 for pictures).
TFrameResult ComputeFrame(const TBorderParams& params, float width, float height,
                          float pixelAspect = 1);

// Power-of-two reduction for a picture whose visible part is visibleWidth x visibleHeight,
// needed on screen at neededWidth x neededHeight; never below minimumLevel.
int ReductionLevel(double neededWidth, double neededHeight, double visibleWidth,
                   double visibleHeight, int minimumLevel = 0);

struct TImageAnimationParams {
  bool enabled = false;
  int columns = 1, rows = 1;
  int repeatCount = 0;  // 0: for ever
  float offset = 0;     // ms before frame 0
  int count = 0;
  std::vector<int> intervals;  // ms per frame as written
};

// The sheet frame shown at slide-relative time (ms).
int AnimationFrame(const TImageAnimationParams& params, double slideTime);

}  // namespace vyr

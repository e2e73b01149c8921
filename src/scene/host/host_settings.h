#pragma once
// What a show hands its slide host when the host is created.

#include <functional>
#include <string>

#include "imaging/bitmap/bitmap_store.h"

namespace vyr {

struct TFrameSize {
  int width = 0;
  int height = 0;
};

struct THostSettings {
  // Key of the show's caches of rendered text (the packaged "ExeGUID"; empty without one).
  std::string fontCacheKey;
  // Folder of the button themes, with a trailing "/".
  std::string themeFolder;
  // The current frame size; without it the size given to SetFrameSize is used.
  std::function<TFrameSize()> frameSize;
  // Transition resource n (1, 2, ...), none when there is no such resource.
  std::function<TRef<TImage>(int index)> effectResource;
  int slideCount = 0;
  bool colorManagement = false;
  // The profile colours and pictures are converted to; none without colour management.
  TRef<TColorProfile> displayProfile;
};

}  // namespace vyr

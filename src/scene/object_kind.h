#pragma once
// Scene object kinds chosen by the class word of an object block.

#include <string_view>

namespace vyr {

enum TVyrObjectKind : int {
  kKindNone = 0,  // anything else, e.g. the section root "Root"
  kKindFrame = 1,
  kKindBox = 2,
  kKindSplitter = 3,
  kKindImage = 4,
  kKindAniImage = 5,
  kKindText = 6,
  kKindButton = 7,
  kKindVideo = 8,
  kKindViewport = 9,
  kKindMaskStencil = 10,
  kKindMaskContent = 11,
};

// The kind of a class word, compared whole and ignoring case; kKindNone when unknown.
int ObjectKindOfClass(std::string_view classWord);

// The value groups a keyframe of that kind may animate (a mask of group bits).
int AnimatableGroups(int kind);

}  // namespace vyr

#include "scene/object_kind.h"

#include "foundation/case_fold.h"

namespace vyr {

namespace {

struct TKindWord {
  const char* word;
  int kind;
};

const TKindWord kKindWords[] = {
    {"Frame", kKindFrame},
    {"Box", kKindBox},
    {"Splitter", kKindSplitter},
    {"Image", kKindImage},
    {"AniImage", kKindAniImage},
    {"Text", kKindText},
    {"Button", kKindButton},
    {"Video", kKindVideo},
    {"Viewport", kKindViewport},
    {"MaskStencil", kKindMaskStencil},
    {"MaskContent", kKindMaskContent},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

int ObjectKindOfClass(std::string_view classWord) {
  if (classWord.empty()) return kKindNone;
  // Several words share a first letter (Box and Button, Video and Viewport, the two
  // masks): the first letter narrows the search, the whole word decides.
  const char first = LowerAscii(classWord[0]);
  for (const TKindWord& k : kKindWords) {
    if (LowerAscii(k.word[0]) == first && SameName(classWord, k.word)) return k.kind;
  }
  return kKindNone;
}

int AnimatableGroups(int kind) {
  switch (kind) {
    case kKindSplitter:
    case kKindMaskStencil:
    case kKindMaskContent:
      return 0;
    case kKindImage:
    case kKindVideo:
      return 0xFF;
    case kKindAniImage:
    case kKindText:
    case kKindButton:
      return 0x7F;  // no Frame
    default:
      return 0x3F;  // no Color, no Frame
  }
}

}  // namespace vyr

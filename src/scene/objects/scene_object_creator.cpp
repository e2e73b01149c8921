// The scene-object unit's creator: frames, boxes, splitters, pictures, texts and buttons.

#include "scene/object_kind.h"
#include "scene/objects/object_creator.h"
#include "scene/objects/vyr_box.h"
#include "scene/objects/vyr_button.h"
#include "scene/objects/vyr_text.h"

namespace vyr {

namespace {
TObjectCreator previousCreator = nullptr;

TRef<TVyrObject> CreateSceneUnitObject(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props) {
  switch (kind) {
    case kKindFrame:
    case kKindBox:
    case kKindSplitter:
      return MakeRef<TVyrBox>(parent, std::move(props));
    case kKindImage:
    case kKindAniImage:
      return MakeRef<TVyrImage>(parent, std::move(props));
    case kKindText:
      return MakeRef<TVyrText>(parent, std::move(props));
    case kKindButton:
      return MakeRef<TVyrButton>(parent, std::move(props));
    default:
      return previousCreator ? previousCreator(kind, parent, std::move(props)) : nullptr;
  }
}
}  // namespace

void RegisterSceneObjectCreator() {
  previousCreator = RegisterObjectCreator(&CreateSceneUnitObject);
}

}  // namespace vyr

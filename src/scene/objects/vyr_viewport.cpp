#include "scene/objects/vyr_viewport.h"

#include "scene/object_kind.h"
#include "scene/objects/object_creator.h"
#include "scene/objects/object_keys.h"

namespace vyr {

void TVyrViewPort::ReadKeys(const TIniObject* o) {
  if (o) {
    const std::vector<double> size = KeyNumbers(o, "Size");
    SetOwnSize(size.size() >= 2 ? static_cast<float>(size[0]) : 0,
               size.size() >= 2 ? static_cast<float>(size[1]) : 0);
  }
  TVyrObject::ReadKeys(o);
}

TVyrObject* TVyrViewPort::ChildOfKind(int kind) const {
  for (int i = 0; i < ChildCount(); ++i)
    if (Child(i)->Kind() == kind) return Child(i);
  return nullptr;
}

TVyrObject* TVyrViewPort::Stencil() const { return ChildOfKind(kKindMaskStencil); }
TVyrObject* TVyrViewPort::Content() const { return ChildOfKind(kKindMaskContent); }

void TVyrViewPort::Draw(TDeviceDrawer& drawer) {
  TVyrObject* stencil = Stencil();
  TVyrObject* content = Content();
  const bool shown = Visible() && PlacementValid() && !HiddenBySide() && !HiddenBySideTest();
  CommitState(false);
  if (shown && stencil && content) drawer.DrawMasked(*stencil, *content, GetOpacity());
  for (int i = 0; i < ChildCount(); ++i) {
    TVyrObject* child = Child(i);
    if (child != stencil && child != content) drawer.DrawItem(*child);
  }
}

void TVyrMaskPart::UpdateLayout(bool recursive) {
  float w, h;
  GetParentSize(w, h);
  SetOwnSize(w, h);
  TVyrObject::UpdateLayout(recursive);
}

namespace {
TObjectCreator previousCreator = nullptr;

TRef<TVyrObject> CreateViewportObject(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props) {
  switch (kind) {
    case kKindViewport:
      return MakeRef<TVyrViewPort>(parent, std::move(props));
    case kKindMaskStencil:
      return MakeRef<TVyrMaskStencil>(parent, std::move(props));
    case kKindMaskContent:
      return MakeRef<TVyrMaskContent>(parent, std::move(props));
    default:
      return previousCreator ? previousCreator(kind, parent, std::move(props)) : nullptr;
  }
}
}  // namespace

void RegisterViewportCreator() { previousCreator = RegisterObjectCreator(&CreateViewportObject); }

}  // namespace vyr

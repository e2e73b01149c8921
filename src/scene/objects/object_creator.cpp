#include "scene/objects/object_creator.h"

#include <atomic>
#include <mutex>

namespace vyr {

namespace {
std::atomic<TObjectCreator> head{nullptr};
std::once_flag standardCreators;
}  // namespace

TObjectCreator RegisterObjectCreator(TObjectCreator creator) { return head.exchange(creator); }

TRef<TVyrObject> CreateSceneObject(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props) {
  // Explicit rather than static registration: a static library drops unreferenced units.
  std::call_once(standardCreators, [] {
    RegisterSceneObjectCreator();
    RegisterViewportCreator();
    RegisterVideoCreator();
  });
  TObjectCreator creator = head.load();
  return creator ? creator(kind, parent, std::move(props)) : nullptr;
}

}  // namespace vyr

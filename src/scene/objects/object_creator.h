#pragma once
// The chain of object creators: each unit registers its creator and keeps the previous one
// to hand the kinds it does not make to.

#include "scene/objects/vyr_object.h"

namespace vyr {

using TObjectCreator = TRef<TVyrObject> (*)(int kind, TVyrObject* parent,
                                            TRef<TVyrObjectProps> props);

// Installs creator at the head of the chain and returns the one it replaced (may be null).
TObjectCreator RegisterObjectCreator(TObjectCreator creator);
// The object the chain makes for kind; none when no creator handles it.
TRef<TVyrObject> CreateSceneObject(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props);

// The units' registrations (each keeps the previous creator).
void RegisterSceneObjectCreator();  // kinds 1 to 7
void RegisterViewportCreator();     // kinds 9 to 11
void RegisterVideoCreator();        // kind 8

}  // namespace vyr

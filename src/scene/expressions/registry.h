#pragma once
// The process-wide registry of named functions ("Sin", "Pi", "QSplineGraph", ...).
// Names compare without case. Filled on first use; safe from every thread.

#include <string_view>

#include "scene/expressions/functions.h"

namespace vyr {

// The function of that name, with a reference of its own, or none.
TRef<TMathFunc> FindMathFunc(std::string_view name);
// Links a function in; it shadows an earlier one of the same name.
void RegisterMathFunc(TRef<TMathFunc> func);

}  // namespace vyr

#include "foundation/on_demand_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace vyr {

void* OnDemandSymbol(const char* file, const char* name, const char* what) {
  // dlopen counts its handles: the library is loaded once however often it is asked for.
  void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "vyr: %s is not usable: %s\n", what, dlerror());
    std::abort();
  }
  // Looked up in the library itself, never in this program, which defines the same name.
  void* symbol = dlsym(handle, name);
  if (!symbol) {
    std::fprintf(stderr, "vyr: %s is not usable: %s has no %s\n", what, file, name);
    std::abort();
  }
  return symbol;
}

}  // namespace vyr

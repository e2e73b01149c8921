#pragma once
// Functions of a shared library opened on first use rather than when the program starts:
// the library's own function, looked up once by each forward that stands in its name.

namespace vyr {

// The function "name" of the shared library "file" (a soname), opened on the first call.
// A library that cannot be opened or lacks the function is a broken installation (the
// package depends on it): says so, naming what, and stops.
void* OnDemandSymbol(const char* file, const char* name, const char* what);

}  // namespace vyr

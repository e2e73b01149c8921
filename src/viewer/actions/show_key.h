#pragma once
// What identifies a show for the viewer's remembered answers: a hash of its bytes that matter,
// not its path, so a copy keeps its answers and a changed show is asked about again.

#include <string>

namespace vyr {

// A package (standalone or appended to an executable): SHA-256 of its directory with the
// trailer (the file from the directory to its end) and of its project entry. A project file:
// SHA-256 of the file. Empty when the file cannot be read.
std::string ShowKeyOf(const std::string& path, bool packaged);

}  // namespace vyr

#pragma once
// Shows mostly arrive as programs with the show appended (Windows executables, or the player
// itself): a program without a package is told apart from a damaged show.

#include <string>

namespace vyr {

// True when the file begins as a Windows executable ("MZ") or an ELF program does.
bool IsProgramFile(const std::string& path);

// True for a program file that carries no package (no trailer at its end).
bool IsProgramWithoutShow(const std::string& path);

}  // namespace vyr

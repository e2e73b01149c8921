#pragma once
// Process-wide values set once at start and read everywhere: the program's own path and
// folder, its arguments and the command line as one text, and where its log file goes.

#include <string>
#include <string_view>
#include <vector>

namespace vyr {

// Full path of the program's own file (from /proc/self/exe).
const std::string& ProgramPath();
// The folder of ProgramPath with a trailing "/".
const std::string& ProgramFolder();
// The process arguments as the shell passed them (argv[0] first, quotes already removed).
const std::vector<std::string>& ProgramArguments();
// The arguments joined by blanks; an argument holding a blank (or empty) is quoted.
const std::string& CommandLine();
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// A relative path is taken from the program folder, never from the current directory.
std::string ResolveAgainstProgramFolder(std::string_view path);

// The file part of a path and the path without it (trailing "/" kept).
std::string_view FileNameOf(std::string_view path);
std::string_view FolderOf(std::string_view path);
// The path with the extension of its file name replaced (or added when it has none).
std::string ChangeFileExt(std::string_view path, std::string_view extension);

// The log file of a program: next to it, named like it with the extension ".log"; when
// that folder is not writable, in $XDG_STATE_HOME/vyrviewer/ (default
// ~/.local/state/vyrviewer/), which is created when missing.
std::string LogFilePathFor(std::string_view programPath);
std::string LogFilePath();

}  // namespace vyr

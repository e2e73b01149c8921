#pragma once
// Project paths are the paths a show had on the authoring machine (drive letters,
// backslashes, any case); these find the loose file on disk that such a path means.

#include <optional>
#include <string>
#include <string_view>

namespace vyr {

// The path as given when that file exists; else with "/" for every "\"; else, a leading
// drive letter dropped, segment by segment ignoring case. A relative path is taken from the
// base folder, never from the working directory: without a base folder it finds nothing.
std::optional<std::string> FindGivenFile(std::string_view path, std::string_view baseFolder);

// FindGivenFile from the show folder; else the show folder (when given) plus the path's file
// name, exactly or ignoring case. None when nothing exists.
std::optional<std::string> FindDiskFile(std::string_view path, std::string_view showFolder = {});

// The file of that name in the folder, exactly or ignoring case; none when missing.
std::optional<std::string> FindInFolder(std::string_view folder, std::string_view fileName);

// Whether a regular file (or a link to one) exists at exactly that path.
bool RegularFileExists(const std::string& path);

// Whether path lies inside folder once symbolic links and ".." are followed.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// The file name of a project path: the text after its last "\" or "/".
std::string_view ProjectFileName(std::string_view path);

// A path with a leading "/", "\" or drive letter ("C:") counts as absolute.
bool IsAbsoluteProjectPath(std::string_view path);

// The folder with exactly one trailing "/" (empty stays empty).
std::string WithTrailingSlash(std::string folder);

}  // namespace vyr

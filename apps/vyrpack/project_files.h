#pragma once
// The files a project refers to: every key value that names an existing file.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "project/ini/model.h"

namespace vyr::pack {

// Every key value of the model (sections and object blocks included), in text order,
// each once.
std::vector<std::string> KeyValues(const TIniFile& project);

// Finds the file a value names: relative to the project's folder (with "\" or "/"),
// else by its file name alone anywhere inside the project's folder tree.
class TProjectFileFinder {
 public:
  explicit TProjectFileFinder(std::filesystem::path projectFolder);
  std::optional<std::filesystem::path> Find(const std::string& value);

 private:
  void IndexFolder();

  std::filesystem::path folder_;
  bool indexed_ = false;
  // Case-folded file name -> files of that name, in path order.
  std::map<std::string, std::vector<std::filesystem::path>> byName_;
};

// The path with its links and ".." resolved as far as it exists.
std::filesystem::path ResolvedPath(const std::filesystem::path& path);

// Whether the file, links and ".." resolved, lies inside the folder (resolved alike).
bool LiesInside(const std::filesystem::path& file, const std::filesystem::path& folder);

}  // namespace vyr::pack

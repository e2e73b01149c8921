#include "viewer/window/show_locator.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/process_paths.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

std::string Slashed(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The folder parts of a "/" path; a drive ("C:") or the root ("") comes first.
std::vector<std::string> FolderParts(std::string_view folder) {
  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= folder.size()) {
    const size_t end = std::min(folder.find('/', begin), folder.size());
    if (end > begin || begin == 0) parts.emplace_back(folder.substr(begin, end - begin));
    begin = end + 1;
  }
  return parts;
}

bool IsRooted(std::string_view path) {
  return path.starts_with('/') || (path.size() >= 2 && path[1] == ':');
}

// The requested folder as seen from the base folder ("../Other/"), or the requested folder
// itself when it is relative already or on another drive.
std::string RelativeFolder(std::string_view requested, std::string_view base) {
  if (!IsRooted(requested)) return std::string(requested);
  const std::vector<std::string> to = FolderParts(requested), from = FolderParts(base);
  if (from.empty() || Lower(to.front()) != Lower(from.front())) return std::string(requested);
  size_t common = 0;
  while (common < to.size() && common < from.size() && Lower(to[common]) == Lower(from[common]))
    ++common;
  std::string relative;
  for (size_t i = common; i < from.size(); ++i) relative += "../";
  for (size_t i = common; i < to.size(); ++i) relative += to[i] + "/";
  return relative;
}

}  // namespace

std::string ExeNameOf(const TIniFile* project) {
  return Slashed(ReadText(project, "Main", "opt_exefn", ""));
}

std::string ProjectShowFolder(const std::string& projectPath, const std::string& exeName) {
  // A name the file system cannot take (too long, say) is a folder that is not there.
  std::error_code ignored;
  std::string folder(FolderOf(exeName));
  if (exeName.empty() || !std::filesystem::is_directory(folder, ignored))
    folder = std::filesystem::absolute(projectPath).parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string FindShowBesideCurrent(const std::string& requested, const std::string& exeName,
                                  const std::string& currentFolder, const TExeAlias* alias) {
  const std::string name = Slashed(requested);
  const std::string file(FileNameOf(name));
  if (file.empty()) return {};
  std::error_code ignored;
  std::vector<std::string> candidates;
  if (!exeName.empty())
    candidates.push_back(currentFolder + RelativeFolder(FolderOf(name), FolderOf(exeName)) + file);
  candidates.push_back(currentFolder + file);
  for (const std::string& candidate : candidates) {
    const std::string mapped = MapShowFileName(candidate, alias);
    if (std::filesystem::exists(mapped, ignored)) return mapped;
  }
  return {};
}

std::string MapShowFileName(const std::string& name, const TExeAlias* alias) {
  if (alias && !alias->exeName.empty() && Slashed(name) == alias->exeName)
    return alias->projectPath;
  const std::filesystem::path path(name);
  if (path.extension() != ".app") return name;
  std::error_code ignored;
  const auto inside = path / "Contents" / "Resources" / "slideshow.dat";
  if (std::filesystem::is_regular_file(inside, ignored)) return inside.string();
  return ChangeFileExt(name, ".vyshow");
}

bool LocateShow(const std::string& path, bool packaged, TVyrShowLocator& located,
                std::string& message, const TExeAlias* alias) {
  located = {};
  // The executable a project was opened for stands for that project.
  const bool aliased = packaged && alias && MapShowFileName(path, alias) == alias->projectPath;
  const std::string& opened = aliased ? alias->projectPath : path;
  if (aliased) packaged = false;
  located.packaged = packaged;
  located.path = opened;
  if (packaged) {
    located.show = OpenShow(MapShowFileName(path));
    // A packaged show must come from a package, never from a file read as a project.
    if (located.show.Ok() && !located.show.package) located.show.error = "Can`t Load Show";
    const std::string alternative = ChangeFileExt(path, ".vyshow");
    if (!located.show.Ok() && alternative != path) {
      TOpenedShow second = OpenShow(alternative);
      if (second.Ok() && second.package) located.show = second;
    }
    if (!located.show.Ok()) {
      const std::string error = located.show.error.empty() ? "Can`t Load Show" : located.show.error;
      message = error + "\r\"" + path + "\" or \"" + alternative + "\"";
      return false;
    }
  } else {
    located.show = OpenShow(opened);
    if (!located.show.Ok()) {
      message = "Can`t Load .vyr File\r\"" + opened + "\"";
      return false;
    }
    // Loose files the project misses are looked for where its executable would be.
    const std::string folder = ProjectShowFolder(opened, ExeNameOf(located.show.project.Get()));
    located.show.accessor = MakeRef<TFileAccessor>(located.show.accessor->SourceRef(), folder);
  }
  located.version = ReadText(located.show.project.Get(), "Main", "VyrVersion", "");
  return true;
}

std::string MessageLines(std::string text) {
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

}  // namespace vyr

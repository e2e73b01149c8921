#include "package/access/path_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "foundation/case_fold.h"

namespace vyr {

namespace {

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string WithSlashes(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The entry of folder whose name equals segment ignoring case; the exact name wins.
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder,
                                                 std::string_view segment) {
  const std::string exact = folder + std::string(segment);
  struct stat info {};
  if (::stat(exact.c_str(), &info) == 0) return exact;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (SameName(name, segment)) {
      found = folder + std::string(name);
      break;
    }
  }
  ::closedir(dir);
  return found;
}

// A relative path walks down from the base folder; with no base it finds nothing.
std::optional<std::string> FindIgnoringCase(std::string_view path, const std::string& base) {
  if (HasDriveLetter(path)) path.remove_prefix(2);
  const std::string slashed = WithSlashes(path);
  const bool rooted = !slashed.empty() && slashed.front() == '/';
  if (!rooted && base.empty()) return std::nullopt;
  std::string current = rooted ? "/" : base;
  std::vector<std::string_view> segments;
  std::string_view rest(slashed);
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    if (!segment.empty() && segment != ".") segments.push_back(segment);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  }
  if (segments.empty()) return std::nullopt;
  for (size_t i = 0; i < segments.size(); ++i) {
    if (segments[i] == "..") {
      current += "../";
      continue;
    }
    auto entry = FindEntryIgnoringCase(current, segments[i]);
    if (!entry) return std::nullopt;
    current = *entry;
    if (i + 1 < segments.size()) {
      if (!IsDirectory(current)) return std::nullopt;
      current += '/';
    }
  }
  return RegularFileExists(current) ? std::optional(current) : std::nullopt;
}

}  // namespace

bool RegularFileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string_view ProjectFileName(std::string_view path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool IsAbsoluteProjectPath(std::string_view path) {
  return (!path.empty() && (path.front() == '/' || path.front() == '\\')) || HasDriveLetter(path);
}

std::string WithTrailingSlash(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::optional<std::string> FindGivenFile(std::string_view path, std::string_view baseFolder) {
  if (path.empty()) return std::nullopt;
  const std::string base = WithTrailingSlash(std::string(baseFolder));
  // Here "C:\\x" and "\\x" are names like any other: only a leading "/" roots a path.
  const auto fromBase = [&](std::string name) -> std::optional<std::string> {
    if (name.front() != '/') {
      if (base.empty()) return std::nullopt;
      name = base + name;
    }
    return RegularFileExists(name) ? std::optional(name) : std::nullopt;
  };
  if (auto given = fromBase(std::string(path))) return given;
  if (auto slashed = fromBase(WithSlashes(path))) return slashed;
  return FindIgnoringCase(path, base);
}

std::optional<std::string> FindDiskFile(std::string_view path, std::string_view showFolder) {
  if (path.empty()) return std::nullopt;
  if (auto found = FindGivenFile(path, showFolder)) return found;
  return FindInFolder(showFolder, ProjectFileName(path));
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base = fs::weakly_canonical(folder, error);
  if (error || base.empty()) return false;
  const fs::path file = fs::weakly_canonical(path, error);
  if (error) return false;
  const fs::path relative = file.lexically_relative(base);
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

std::optional<std::string> FindInFolder(std::string_view folder, std::string_view fileName) {
  if (folder.empty() || fileName.empty() || fileName == "." || fileName == "..")
    return std::nullopt;
  auto entry = FindEntryIgnoringCase(WithTrailingSlash(std::string(folder)), fileName);
  if (entry && RegularFileExists(*entry)) return entry;
  return std::nullopt;
}

}  // namespace vyr

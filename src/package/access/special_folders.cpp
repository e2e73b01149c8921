#include "package/access/special_folders.h"

#include <sys/stat.h>

#include <cstdlib>

#include "foundation/case_fold.h"
#include "package/access/path_resolver.h"

namespace vyr {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An XDG folder: its variable when set and absolute, else home + the default; else the
// APPDATA variable; else nothing.
std::string UserFolder(const char* variable, const char* homeDefault) {
  std::string value = Env(variable);
  if (!value.empty() && value.front() == '/') return WithTrailingSlash(value);
  const std::string home = Env("HOME");
  if (!home.empty()) return WithTrailingSlash(home + "/" + homeDefault);
  return WithTrailingSlash(Env("APPDATA"));
}

}  // namespace

std::string TempFolderPath() {
  for (const char* variable : {"TMPDIR", "TMP", "TEMP"}) {
    const std::string value = Env(variable);
    if (FolderExists(value)) return WithTrailingSlash(value);
  }
  return FolderExists("/tmp") ? "/tmp/" : "";
}

std::string SpecialFolder(std::string_view placeholder) {
  if (SameName(placeholder, "%APPDATA%")) return UserFolder("XDG_CONFIG_HOME", ".config");
  if (SameName(placeholder, "%LOCALAPPDATA%")) return UserFolder("XDG_DATA_HOME", ".local/share");
  if (SameName(placeholder, "%PROGRAMDATA%")) return "/var/lib/";
  if (SameName(placeholder, "%SYSTEMROOT%")) return "/";
  if (SameName(placeholder, "%TEMP%")) return TempFolderPath();
  return {};
}

std::string ExpandFolderPlaceholder(std::string_view path) {
  if (path.empty() || path.front() != '%') return std::string(path);
  const size_t close = path.find('%', 1);
  if (close == std::string_view::npos || close + 1 > kMaxPlaceholderLength)
    return std::string(path);
  const std::string folder = SpecialFolder(path.substr(0, close + 1));
  if (folder.empty()) return std::string(path);
  std::string_view rest = path.substr(close + 1);
  if (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.remove_prefix(1);
  return folder + std::string(rest);
}

}  // namespace vyr

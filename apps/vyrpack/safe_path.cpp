#include "safe_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "cli_error.h"

namespace vyr::pack {

namespace {

std::vector<std::string> Segments(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t slash = std::min(path.find('/', start), path.size());
    parts.emplace_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw ECliError(kExitFailed, what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

std::string SafeRelativePath(std::string_view name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
    if (c == '\0') c = '_';
  }
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
    path.erase(0, 2);
  std::string safe;
  for (const auto& part : Segments(path)) {
    if (part.empty() || part == "." || part == "..") continue;
    if (!safe.empty()) safe += '/';
    safe += part;
  }
  return safe.empty() ? "entry" : safe;
}

std::string TUniquePaths::Claim(const std::string& path) {
  std::string candidate = path;
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  const std::string extension = hasExtension ? path.substr(dot) : "";
  for (int n = 2; used_.count(candidate); ++n)
    candidate = stem + "~" + std::to_string(n) + extension;
  used_.insert(candidate);
  return candidate;
}

TExtractFolder::TExtractFolder(const std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(path, ignored);
  fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    const std::string reason = std::strerror(errno);
    throw ECliError(kExitTrouble, "cannot open folder " + path + ": " + reason);
  }
}

TExtractFolder::~TExtractFolder() {
  if (fd_ >= 0) ::close(fd_);
}

int TExtractFolder::CreateFile(const std::string& relativePath) const {
  const auto parts = Segments(relativePath);
  int dir = ::dup(fd_);
  if (dir < 0) Fail("cannot open", relativePath);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (::mkdirat(dir, parts[i].c_str(), 0755) != 0 && errno != EEXIST) {
      ::close(dir);
      Fail("cannot create folder for", relativePath);
    }
    const int next =
        ::openat(dir, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    ::close(dir);
    if (next < 0) Fail("cannot open folder for", relativePath);
    dir = next;
  }
  const char* leaf = parts.back().c_str();
  if (::unlinkat(dir, leaf, 0) != 0 && errno != ENOENT) {
    ::close(dir);
    Fail("cannot replace", relativePath);
  }
  const int file = ::openat(dir, leaf, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  ::close(dir);
  if (file < 0) Fail("cannot create", relativePath);
  return file;
}

}  // namespace vyr::pack

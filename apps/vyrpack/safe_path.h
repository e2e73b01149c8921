#pragma once
// Turning entry names into relative paths that stay inside the extraction folder,
// and writing files there without following links.

#include <set>
#include <string>
#include <string_view>

namespace vyr::pack {

// "\" becomes "/"; a drive letter, empty, "." and ".." segments are dropped; NUL bytes
// become "_". Never empty ("entry" stands in) and never absolute.
std::string SafeRelativePath(std::string_view name);

// Hands out each path once: a repeated one gets "~2", "~3", ... before its extension.
class TUniquePaths {
 public:
  void Reserve(const std::string& path) { used_.insert(path); }
  std::string Claim(const std::string& path);

 private:
  std::set<std::string> used_;
};

// A folder opened once; files are created below it segment by segment with every
// segment opened without following symbolic links, so nothing lands outside it.
class TExtractFolder {
 public:
  // Creates the folder when missing; raises ECliError when it cannot be opened.
  explicit TExtractFolder(const std::string& path);
  ~TExtractFolder();
  TExtractFolder(const TExtractFolder&) = delete;
  TExtractFolder& operator=(const TExtractFolder&) = delete;

  // A new file at the relative path (an existing one is unlinked first, so a link
  // planted there is replaced, not written through). Returns a descriptor, or raises.
  int CreateFile(const std::string& relativePath) const;

 private:
  int fd_ = -1;
};

}  // namespace vyr::pack

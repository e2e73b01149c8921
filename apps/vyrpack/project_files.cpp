#include "project_files.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "foundation/case_fold.h"

namespace vyr::pack {

namespace fs = std::filesystem;

namespace {

void CollectValues(const TIniList& list, std::vector<std::string>& values,
                   std::set<std::string>& seen) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const TIniItem* item = list.Item(i);
    if (item->IsList()) {
      CollectValues(static_cast<const TIniList&>(*item), values, seen);
    } else if (item->IsKey() && !item->Value().empty() && seen.insert(item->Value()).second) {
      values.push_back(item->Value());
    }
  }
}

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

}  // namespace

fs::path ResolvedPath(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path), error);
  return error ? fs::absolute(path).lexically_normal() : resolved;
}

bool LiesInside(const fs::path& file, const fs::path& folder) {
  const fs::path relative = ResolvedPath(file).lexically_relative(ResolvedPath(folder));
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

std::vector<std::string> KeyValues(const TIniFile& project) {
  std::vector<std::string> values;
  std::set<std::string> seen;
  CollectValues(project, values, seen);
  return values;
}

TProjectFileFinder::TProjectFileFinder(fs::path projectFolder)
    : folder_(std::move(projectFolder)) {}

void TProjectFileFinder::IndexFolder() {
  indexed_ = true;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder_, error), end; !error && it != end;
       it.increment(error)) {
    if (IsRegularFile(it->path()))
      byName_[FoldCaseUtf8(it->path().filename().string())].push_back(it->path());
  }
  for (auto& [name, paths] : byName_) std::sort(paths.begin(), paths.end());
}

std::optional<fs::path> TProjectFileFinder::Find(const std::string& value) {
  std::string relative = value;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  const bool hasDrive = relative.size() >= 2 && relative[1] == ':' &&
                        std::isalpha(static_cast<unsigned char>(relative[0]));
  if (!hasDrive && relative.front() != '/' && IsRegularFile(folder_ / relative))
    return folder_ / relative;

  const std::string fileName = relative.substr(relative.rfind('/') + 1);
  if (fileName.empty() || fileName == "." || fileName == "..") return std::nullopt;
  if (!indexed_) IndexFolder();
  const auto found = byName_.find(FoldCaseUtf8(fileName));
  if (found == byName_.end()) return std::nullopt;
  // An exact spelling wins over one that differs in case.
  for (const auto& path : found->second)
    if (path.filename() == fileName) return path;
  return found->second.front();
}

}  // namespace vyr::pack

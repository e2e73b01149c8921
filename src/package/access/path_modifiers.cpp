#include "package/access/path_modifiers.h"

#include <algorithm>
#include <mutex>

#include "foundation/case_fold.h"
#include "package/access/path_resolver.h"
#include "package/access/special_folders.h"
#include "platform/process_paths.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

std::mutex gModifiersLock;
std::vector<TPathModifier>& Modifiers() {
  static auto* modifiers = new std::vector<TPathModifier>;  // lives for the process
  return *modifiers;
}

// Whether the path, up to any "|", names a file on disk.
bool CandidateExists(std::string_view candidate) {
  return FindDiskFile(candidate.substr(0, candidate.find('|'))).has_value();
}

}  // namespace

std::vector<TPathModifier> ReadPathModifiers(const TIniFile& project) {
  std::vector<TPathModifier> list;
  const TIniSection* section = FindSection(&project, "PathModifiers");
  if (!section) return list;
  // Every entry needs its own keys, so a count beyond the section's lines names nothing more.
  const int64_t count = std::min<int64_t>(ReadInt(FindKey(section, "Count"), 0),
                                          static_cast<int64_t>(section->Count()));
  for (int64_t i = 0; i < count; ++i) {
    TPathModifier entry;
    entry.name = ReadText(FindKeyNumbered(section, "Env", i));
    entry.replacement = ExpandFolderPlaceholder(ReadText(FindKeyNumbered(section, "Path", i)));
    if (!entry.replacement.empty() && !IsAbsoluteProjectPath(entry.replacement))
      entry.replacement = ResolveAgainstProgramFolder(entry.replacement);
    entry.isDefault = ReadBool(FindKeyNumbered(section, "Def", i), false);
    if (!entry.name.empty()) list.push_back(std::move(entry));
  }
  return list;
}

void SetPathModifiers(std::vector<TPathModifier> modifiers) {
  std::lock_guard lock(gModifiersLock);
  Modifiers() = std::move(modifiers);
}

void LoadPathModifiers(const TIniFile& project) { SetPathModifiers(ReadPathModifiers(project)); }

std::string ApplyPathModifiers(std::string_view path) {
  std::vector<TPathModifier> modifiers;
  {
    std::lock_guard lock(gModifiersLock);
    if (Modifiers().empty()) return std::string(path);
    modifiers = Modifiers();
  }
  return ApplyPathModifiers(path, modifiers);
}

std::string ApplyPathModifiers(std::string_view path, const std::vector<TPathModifier>& modifiers) {
  std::string result(path);
  size_t scan = 0;
  for (;;) {
    const size_t start = result.find('%', scan);
    if (start == std::string::npos) break;
    const size_t end = result.find('%', start + 1);
    if (end == std::string::npos) break;
    const std::string_view token = std::string_view(result).substr(start, end - start + 1);
    std::string chosen;
    bool replaced = false;
    size_t chosenScan = end + 1;
    for (const auto& entry : modifiers) {
      if (!SameName(entry.name, token)) continue;
      std::string candidate = result.substr(0, start) + entry.replacement + result.substr(end + 1);
      const bool exists = CandidateExists(candidate);
      if (exists || entry.isDefault) {
        chosen = std::move(candidate);
        replaced = true;
        chosenScan = start + entry.replacement.size();
      }
      if (exists) break;
    }
    if (replaced) result = std::move(chosen);
    scan = chosenScan;
  }
  return result;
}

}  // namespace vyr

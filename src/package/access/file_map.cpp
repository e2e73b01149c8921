#include "package/access/file_map.h"

#include "foundation/case_fold.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string_view Unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return text;
}

// Calls take(line) for the text of every plain item of the section.
template <class F>
void ForEachLine(const TIniFile& project, std::string_view section, F take) {
  const TIniSection* found = FindSection(&project, section);
  if (!found) return;
  for (size_t i = 0; i < found->Count(); ++i) {
    const TIniItem* item = found->Item(i);
    if (!item->IsList()) take(std::string_view(item->Value()));
  }
}

}  // namespace

std::optional<TFileMapLine> ParseFileMapLine(std::string_view line) {
  if (!line.empty() && line.front() == ';') line.remove_prefix(1);
  bool quoted = false;
  size_t split = std::string_view::npos;
  for (size_t i = 0; i < line.size() && split == std::string_view::npos; ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '=' && !quoted) split = i;
  }
  if (split == std::string_view::npos) return std::nullopt;
  const std::string_view source = Unquote(Trim(line.substr(0, split)));
  const std::string_view target = Unquote(Trim(line.substr(split + 1)));
  if (source.empty() || target.empty()) return std::nullopt;
  return TFileMapLine{std::string(source), std::string(target)};
}

std::optional<std::pair<std::string, int>> ParseRotationLine(std::string_view line) {
  if (line.size() < 2 || line[0] != ';' || line[1] != '"') return std::nullopt;
  line.remove_prefix(2);
  const size_t close = line.find('"');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  const std::string_view name = line.substr(0, close);
  std::string_view rest = Trim(line.substr(close + 1));
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  int32_t turn = 0;
  if (!ParseInt32(Trim(rest.substr(1)), turn)) return std::nullopt;
  if (turn != 3 && turn != 6 && turn != 8) return std::nullopt;
  return std::make_pair(std::string(name), static_cast<int>(turn));
}

void TFileMap::Load(const TIniFile& project) {
  ForEachLine(project, "FileMap", [this](std::string_view line) {
    if (auto parsed = ParseFileMapLine(line)) Add(parsed->source, std::move(parsed->target));
  });
}

void TFileMap::Add(const std::string& source, std::string target) {
  targets_[FoldCaseUtf8(source)] = std::move(target);
}

const std::string* TFileMap::Find(std::string_view name) const {
  if (targets_.empty()) return nullptr;
  const auto found = targets_.find(FoldCaseUtf8(name));
  return found == targets_.end() ? nullptr : &found->second;
}

void TRotationTable::Load(const TIniFile& project) {
  ForEachLine(project, "RotationState", [this](std::string_view line) {
    if (auto parsed = ParseRotationLine(line)) turns_[FoldCaseUtf8(parsed->first)] = parsed->second;
  });
}

int TRotationTable::Find(std::string_view name) const {
  if (turns_.empty()) return 0;
  const auto found = turns_.find(FoldCaseUtf8(name));
  return found == turns_.end() ? 0 : found->second;
}

}  // namespace vyr

#pragma once
// Path modifiers: placeholders such as %MYPICTURES% in project paths, replaced by folders the
// project names in its [PathModifiers] section. One process-wide list, replaced whenever a
// project file is opened directly.

#include <string>
#include <string_view>
#include <vector>

#include "project/ini/model.h"

namespace vyr {

struct TPathModifier {
  std::string name;         // the placeholder with both "%", as written
  std::string replacement;  // expanded and absolute
  bool isDefault = false;   // used even when the file it leads to does not exist
};

// The entries of [PathModifiers]: "Count", then "Env"i, "Path"i and "Def"i for i from 0. Each
// path has its leading folder placeholder expanded and is made absolute against the program
// folder when relative.
std::vector<TPathModifier> ReadPathModifiers(const TIniFile& project);

// Replaces the process-wide list.
void SetPathModifiers(std::vector<TPathModifier> modifiers);
void LoadPathModifiers(const TIniFile& project);

// Replaces each "%...%" token by the first entry of that name whose result names an
// existing file, or else by the last default entry of that name; other tokens stay.
std::string ApplyPathModifiers(std::string_view path);
std::string ApplyPathModifiers(std::string_view path, const std::vector<TPathModifier>& modifiers);

}  // namespace vyr

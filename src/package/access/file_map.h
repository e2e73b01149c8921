#pragma once
// The project's [FileMap] (a project path opened under another name) and [RotationState]
// (pictures to be turned while they decode). Names compare ignoring case.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "project/ini/model.h"

namespace vyr {

// A mapped name may itself be mapped; a chain is followed at most this many steps, so a
// map that leads back to itself cannot loop.
inline constexpr int kMaxFileMapDepth = 16;

struct TFileMapLine {
  std::string source;
  std::string target;
};

// ";source=target" (the ";" optional): split at the first "=" outside double quotes, both
// sides trimmed and stripped of one pair of double quotes; none when either side is empty.
std::optional<TFileMapLine> ParseFileMapLine(std::string_view line);
// ";"name"=n": none unless n is 3, 6 or 8.
std::optional<std::pair<std::string, int>> ParseRotationLine(std::string_view line);

class TFileMap {
 public:
  void Load(const TIniFile& project);
  void Add(const std::string& source, std::string target);
  bool Empty() const { return targets_.empty(); }
  // The target of a mapped name; none when the name is not a key.
  const std::string* Find(std::string_view name) const;

 private:
  std::unordered_map<std::string, std::string> targets_;
};

class TRotationTable {
 public:
  void Load(const TIniFile& project);
  bool Empty() const { return turns_.empty(); }
  // The EXIF orientation stored for the name (3, 6 or 8), 0 when none.
  int Find(std::string_view name) const;

 private:
  std::unordered_map<std::string, int> turns_;
};

}  // namespace vyr

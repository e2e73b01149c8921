#pragma once
// The parsed package directory: one INI model whose sections are the entries, plus
// the "$protection$" section with the package's own data.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ref_object.h"
#include "project/ini/model.h"

namespace vyr {

// One entry as the directory records it.
struct TPackageEntry {
  std::string section;    // the section name as stored (escaped)
  int64_t position = -1;  // "_ps": file offset when written, shift not applied
  int64_t size = -1;      // "_sz": bytes in the file
  int method = 0;         // "_pm"
};

class TUnpackStruc : public TRefObject {
 public:
  // Parses the inflated directory text. Every name index is built here, so that
  // later lookups only read the model and may run on several threads at once.
  explicit TUnpackStruc(std::string_view text);

  // By section name as stored; none when missing or without "_ps" or "_sz".
  std::optional<TPackageEntry> FindSection(std::string_view section) const;
  // By entry name: escaped first.
  std::optional<TPackageEntry> FindEntry(std::string_view name) const;
  // Every entry in directory order ("$protection$" is none).
  const std::vector<TPackageEntry>& Entries() const { return entries_; }

  // "$protection$" values ("" when absent).
  std::string StrucPos() const;
  bool AllowModify() const;
  std::string VyrVersion() const;

  const TIniFile& Ini() const { return *ini_; }

 private:
  static std::optional<TPackageEntry> EntryOf(const TIniSection& section);

  TRef<TIniFile> ini_;
  std::vector<TPackageEntry> entries_;
};

}  // namespace vyr

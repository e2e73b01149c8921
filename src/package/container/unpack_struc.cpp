#include "package/container/unpack_struc.h"

#include "foundation/case_fold.h"
#include "package/container/entry_name.h"
#include "package/container/package_layout.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

TUnpackStruc::TUnpackStruc(std::string_view text) : ini_(MakeRef<TIniFile>()) {
  ini_->LoadFromBytes(text);
  vyr::FindSection(ini_.Get(), kProtectionSection);
  for (const TIniSection* section : ini_->Sections()) {
    if (SameName(section->Name(), kProtectionSection)) continue;
    if (auto entry = EntryOf(*section)) entries_.push_back(std::move(*entry));
  }
}

std::optional<TPackageEntry> TUnpackStruc::EntryOf(const TIniSection& section) {
  const TIniItem* position = FindKey(&section, kKeyEntryPos);
  const TIniItem* size = FindKey(&section, kKeyEntrySize);
  const TIniItem* method = FindKey(&section, kKeyEntryMethod);
  if (!position || !size) return std::nullopt;
  TPackageEntry entry;
  entry.section = section.Name();
  entry.position = ReadInt64(position, -1);
  entry.size = ReadInt64(size, -1);
  entry.method = ReadInt(method, 0);
  return entry;
}

std::optional<TPackageEntry> TUnpackStruc::FindSection(std::string_view section) const {
  if (section.empty() || SameName(section, kProtectionSection)) return std::nullopt;
  const TIniSection* found = vyr::FindSection(ini_.Get(), section);
  if (!found || found == ini_.Get()) return std::nullopt;
  return EntryOf(*found);
}

std::optional<TPackageEntry> TUnpackStruc::FindEntry(std::string_view name) const {
  return FindSection(EscapeEntryName(name));
}

std::string TUnpackStruc::StrucPos() const {
  return ReadText(ini_.Get(), kProtectionSection, kKeyStrucPos, "");
}

bool TUnpackStruc::AllowModify() const {
  return ReadBool(ini_.Get(), kProtectionSection, kKeyAllowModify, false);
}

std::string TUnpackStruc::VyrVersion() const {
  return ReadText(ini_.Get(), kProtectionSection, kKeyVyrVersion, "");
}

}  // namespace vyr

#pragma once
// Name lookups on the INI model. Every lookup accepts a missing list (and then
// finds nothing); an empty name finds nothing. Names compare without case.

#include <cstdint>
#include <string_view>

#include "project/ini/model.h"

namespace vyr {

// The last key of that name.
TIniItem* FindKey(const TIniList* list, std::string_view name);
// The last key of that name, else a new empty key at the key insertion point.
TIniItem* FindOrAddKey(TIniList* list, std::string_view name);
// The key named prefix + n in decimal ("Slide", 3 -> "Slide3").
TIniItem* FindKeyNumbered(const TIniList* list, std::string_view prefix, int64_t n);

// The section of that name; an empty name gives the file itself.
TIniSection* FindSection(const TIniFile* file, std::string_view name);
// As FindSection; a new section is appended with one empty text line.
TIniSection* FindOrAddSection(TIniFile* file, std::string_view name);

// The last object block of that name.
TIniObject* FindObject(const TIniList* list, std::string_view name);
// Among the blocks of that name, the last one with that class word.
TIniObject* FindObjectOfClass(const TIniList* list, std::string_view name,
                              std::string_view className);
// Iteration over a list's object blocks in item order (nullptr at the end).
TIniObject* FirstObject(const TIniList* list);
TIniObject* NextObject(const TIniList* list, const TIniObject* object);

// "Section:Object:...:Key": creates every missing section, block and key on the way.
// At the file level a path of one part names an item of the root list.
TIniItem* FindByPath(TIniList* list, std::string_view path);

}  // namespace vyr

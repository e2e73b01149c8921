#include "project/ini/lookup.h"

#include <string>
#include <vector>

#include "foundation/case_fold.h"

namespace vyr {

namespace {
bool AcceptKey(const TIniItem& item) { return item.IsKey(); }
bool AcceptObject(const TIniItem& item) { return item.IsObject(); }
bool AcceptSection(const TIniItem& item) { return item.IsSection(); }
}  // namespace

TIniItem* FindKey(const TIniList* list, std::string_view name) {
  return list ? list->FindLastNamed(name, AcceptKey) : nullptr;
}

TIniItem* FindOrAddKey(TIniList* list, std::string_view name) {
  if (!list || name.empty()) return nullptr;
  if (TIniItem* key = FindKey(list, name)) return key;
  auto key = MakeRef<TIniItem>(std::string(name), std::string());
  TIniItem* raw = key.Get();
  list->Insert(list->KeyInsertPoint(), std::move(key));
  return raw;
}

TIniItem* FindKeyNumbered(const TIniList* list, std::string_view prefix, int64_t n) {
  if (!list) return nullptr;
  std::string name(prefix);
  name += std::to_string(n);
  return FindKey(list, name);
}

TIniSection* FindSection(const TIniFile* file, std::string_view name) {
  if (!file) return nullptr;
  if (name.empty()) return const_cast<TIniFile*>(file);
  return static_cast<TIniSection*>(file->FindLastNamed(name, AcceptSection));
}

TIniSection* FindOrAddSection(TIniFile* file, std::string_view name) {
  if (!file) return nullptr;
  if (TIniSection* section = FindSection(file, name)) return section;
  auto section = MakeRef<TIniSection>(std::string(name));
  section->AddText(std::string());  // a blank line after the section when written
  TIniSection* raw = section.Get();
  file->Add(std::move(section));
  return raw;
}

TIniObject* FindObject(const TIniList* list, std::string_view name) {
  if (!list) return nullptr;
  return static_cast<TIniObject*>(list->FindLastNamed(name, AcceptObject));
}

TIniObject* FindObjectOfClass(const TIniList* list, std::string_view name,
                              std::string_view className) {
  if (!list) return nullptr;
  return static_cast<TIniObject*>(list->FindLastNamedIf(name, [className](const TIniItem& item) {
    return item.IsObject() && SameName(item.Value(), className);
  }));
}

TIniObject* FirstObject(const TIniList* list) {
  return (list && !list->Objects().empty()) ? list->Objects().front() : nullptr;
}

TIniObject* NextObject(const TIniList* list, const TIniObject* object) {
  if (!list || !object || object->Owner() != list) return nullptr;
  const size_t next = object->ObjectIndex() + 1;
  return next < list->Objects().size() ? list->Objects()[next] : nullptr;
}

TIniItem* FindByPath(TIniList* list, std::string_view path) {
  if (!list) return nullptr;
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t colon = path.find(':', start);
    parts.push_back(path.substr(start, colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  size_t i = 0;
  TIniList* current = list;
  if (list->Kind() == TIniKind::File && parts.size() > 1) {
    current = FindOrAddSection(static_cast<TIniFile*>(list), parts[0]);
    i = 1;
  }
  for (; i + 1 < parts.size(); ++i) {
    TIniObject* object = parts[i].empty() ? FirstObject(current) : FindObject(current, parts[i]);
    if (!object) object = current->AddObject(std::string(parts[i]), std::string());
    current = object;
  }
  const std::string_view last = parts.back();
  if (TIniItem* item = current->FindLastNamed(last)) return item;
  return FindOrAddKey(current, last);
}

}  // namespace vyr

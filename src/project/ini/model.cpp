#include "project/ini/model.h"

#include <algorithm>
#include <mutex>

#include "foundation/case_fold.h"
#include "foundation/exceptions.h"
#include "project/ini/text_saver.h"

namespace vyr {

namespace {
constexpr size_t kMinBuckets = 16;
// Serialises lazy index builds by readers; changes of a model are never concurrent.
std::mutex gIndexBuildLock;
}  // namespace

// ---- TIniItem

TIniItem::TIniItem(std::string name, std::string value)
    : TIniItem(std::move(name), std::move(value), TIniKind::Item) {}

TIniItem::TIniItem(std::string name, std::string value, TIniKind kind)
    : kind_(kind), name_(std::move(name)), value_(std::move(value)) {}

uint32_t TIniItem::NameHashCached() const {
  if (!hashed_) {
    hash_ = NameHash(name_);
    hashed_ = true;
  }
  return hash_;
}

void TIniItem::WriteIndented(TTextSaver& saver, int indent) const {
  if (name_.empty()) {
    // A text line; an empty one stays empty, without indentation.
    if (!value_.empty()) {
      saver.WriteIndent(indent);
      saver.WriteData(value_);
    }
  } else {
    saver.WriteIndent(indent);
    saver.WriteData(name_);
    saver.WriteRaw("=");
    saver.WriteData(value_);
  }
  saver.WriteLineEnd();
}

bool TIniItem::Contains(const TIniList& /*list*/) const { return false; }

TRef<TIniItem> TIniItem::Clone() const { return MakeRef<TIniItem>(name_, value_); }

// ---- TIniList

TIniList::TIniList(std::string name, std::string value)
    : TIniList(std::move(name), std::move(value), TIniKind::List) {}

TIniList::TIniList(std::string name, std::string value, TIniKind kind)
    : TIniItem(std::move(name), std::move(value), kind) {}

void TIniList::Dispose() { Clear(); }

bool TIniList::Contains(const TIniList& list) const {
  for (const TIniList* p = &list; p; p = p->Owner()) {
    if (p == this) return true;
  }
  return false;
}

TRef<TIniList> TIniList::NewEmpty() const {
  return MakeRef<TIniList>(std::string(), std::string());
}

TRef<TIniItem> TIniList::Clone() const {
  TRef<TIniList> copy = NewEmpty();
  copy->name_ = Name();
  copy->hashed_ = false;
  copy->SetValue(Value());
  for (const auto& item : items_) copy->Add(item->Clone());
  return copy;
}

void TIniList::Assign(const TIniList& source) {
  if (&source == this) return;
  // Clone first: the source may live inside this list.
  std::vector<TRef<TIniItem>> copies;
  copies.reserve(source.Count());
  for (const auto& item : source.items_) copies.push_back(item->Clone());
  Clear();
  for (auto& copy : copies) Add(std::move(copy));
}

void TIniList::ReleaseItems() {
  std::vector<TRef<TIniItem>> items = std::move(items_);
  items_.clear();
  objects_.clear();
  DropIndex();
  keyInsert_ = 0;
  namedCount_ = 0;
  for (auto& item : items) {
    item->owner_ = nullptr;
    item->hashNext_ = nullptr;
    item->itemIndex_ = 0;
    item->AttachedOrDetached(false);
  }
  // The references drop here, once every item is detached.
}

void TIniList::Clear() { ReleaseItems(); }

bool TIniList::Insert(size_t index, TRef<TIniItem> item) {
  if (!item) return false;
  if (item->IsList() && static_cast<const TIniList&>(*item).Contains(*this)) return false;
  if (TIniList* old = item->owner_) {
    if (old == this && index > item->itemIndex_) --index;
    old->Detach(item.Get());
  }
  index = std::min(index, items_.size());
  if (items_.capacity() == 0) items_.reserve(8);  // most lists are short: one allocation
  TIniItem* raw = item.Get();
  items_.insert(items_.begin() + static_cast<ptrdiff_t>(index), std::move(item));
  for (size_t i = index; i < items_.size(); ++i) items_[i]->itemIndex_ = i;
  raw->owner_ = this;

  if (raw->IsKey()) {
    keyInsert_ = index >= keyInsert_ ? index + 1 : keyInsert_ + 1;
  } else if (index < keyInsert_) {
    ++keyInsert_;
  }
  if (raw->IsObject()) {
    auto* object = static_cast<TIniObject*>(raw);
    const auto at =
        std::upper_bound(objects_.begin(), objects_.end(), index,
                         [](size_t i, const TIniObject* o) { return i < o->ItemIndex(); });
    const auto pos = static_cast<size_t>(at - objects_.begin());
    objects_.insert(at, object);
    for (size_t i = pos; i < objects_.size(); ++i) objects_[i]->objectIndex_ = i;
  }
  if (!raw->Name().empty()) {
    ++namedCount_;
    IndexInsert(raw);
  }
  if (raw->IsSection()) SectionAttached(static_cast<TIniSection&>(*raw), true);
  raw->AttachedOrDetached(true);
  return true;
}

void TIniList::CheckItem(const TIniItem& item) const {
  VYR_ASSERT_MSG(item.owner_ == this && item.itemIndex_ < items_.size() &&
                     items_[item.itemIndex_].Get() == &item,
                 "TIniItem.Index mismatch");
  if (item.IsObject()) {
    const auto& object = static_cast<const TIniObject&>(item);
    VYR_ASSERT_MSG(
        object.objectIndex_ < objects_.size() && objects_[object.objectIndex_] == &object,
        "TIniObject.ObjectIndex mismatch");
  }
}

TRef<TIniItem> TIniList::Detach(TIniItem* item) {
  if (!item) return nullptr;
  CheckItem(*item);
  if (item->IsSection()) SectionAttached(static_cast<TIniSection&>(*item), false);
  const size_t index = item->itemIndex_;
  if (!item->Name().empty()) {
    IndexRemove(item);
    --namedCount_;
  }
  if (item->IsObject()) {
    const size_t pos = static_cast<TIniObject*>(item)->objectIndex_;
    objects_.erase(objects_.begin() + static_cast<ptrdiff_t>(pos));
    for (size_t i = pos; i < objects_.size(); ++i) objects_[i]->objectIndex_ = i;
  }
  TRef<TIniItem> taken = std::move(items_[index]);
  items_.erase(items_.begin() + static_cast<ptrdiff_t>(index));
  for (size_t i = index; i < items_.size(); ++i) items_[i]->itemIndex_ = i;
  if (index < keyInsert_) --keyInsert_;
  taken->owner_ = nullptr;
  taken->hashNext_ = nullptr;
  taken->itemIndex_ = 0;
  taken->AttachedOrDetached(false);
  return taken;
}

void TIniList::Move(TIniItem* item, size_t newIndex) {
  TRef<TIniItem> keep = Detach(item);
  Insert(newIndex, std::move(keep));
}

TIniItem* TIniList::AddKey(std::string name, std::string value) {
  auto item = MakeRef<TIniItem>(std::move(name), std::move(value));
  TIniItem* raw = item.Get();
  Add(std::move(item));
  return raw;
}

TIniItem* TIniList::AddText(std::string text) { return AddKey(std::string(), std::move(text)); }

TIniObject* TIniList::AddObject(std::string name, std::string className) {
  auto object = MakeRef<TIniObject>(std::move(name), std::move(className));
  TIniObject* raw = object.Get();
  const size_t at = objects_.empty() ? keyInsert_ : objects_.back()->ItemIndex() + 1;
  Insert(at, std::move(object));
  return raw;
}

void TIniList::SectionAttached(TIniSection& /*section*/, bool /*attached*/) {}

void TIniList::CheckOwnInvariants() const {}

void TIniList::CheckInvariants() const {
  size_t objects = 0;
  size_t lastKeyEnd = 0;
  for (const auto& item : items_) {
    CheckItem(*item);
    if (item->IsObject()) {
      VYR_ASSERT_MSG(static_cast<const TIniObject&>(*item).objectIndex_ == objects,
                     "TIniObject.ObjectIndex mismatch");
      ++objects;
    }
    if (item->IsKey()) lastKeyEnd = item->itemIndex_ + 1;
    if (item->IsList()) static_cast<const TIniList&>(*item).CheckInvariants();
  }
  VYR_ASSERT_MSG(objects == objects_.size(), "TIniObject.ObjectIndex mismatch");
  VYR_ASSERT_MSG(lastKeyEnd <= keyInsert_ && keyInsert_ <= items_.size(),
                 "TIniList key insertion point out of range");
  CheckOwnInvariants();
}

// ---- name index: per bucket, items by descending ItemIndex

void TIniList::DropIndex() const {
  indexReady_.store(false, std::memory_order_relaxed);
  buckets_.clear();
}

void TIniList::BuildIndex() const {
  std::lock_guard lock(gIndexBuildLock);
  if (indexReady_.load(std::memory_order_relaxed)) return;
  size_t size = kMinBuckets;
  while (size <= namedCount_) size *= 2;
  buckets_.assign(size, nullptr);
  const size_t mask = size - 1;
  for (const auto& item : items_) {
    if (item->Name().empty()) continue;
    TIniItem*& head = buckets_[item->NameHashCached() & mask];
    item->hashNext_ = head;
    head = item.Get();
  }
  indexReady_.store(true, std::memory_order_release);
}

void TIniList::IndexInsert(TIniItem* item) const {
  if (!indexReady_.load(std::memory_order_relaxed)) return;
  if (namedCount_ >= buckets_.size()) return DropIndex();  // rebuilt larger on the next lookup
  TIniItem** link = &buckets_[item->NameHashCached() & (buckets_.size() - 1)];
  while (*link && (*link)->itemIndex_ > item->itemIndex_) link = &(*link)->hashNext_;
  item->hashNext_ = *link;
  *link = item;
}

void TIniList::IndexRemove(TIniItem* item) const {
  if (!indexReady_.load(std::memory_order_relaxed)) return;
  TIniItem** link = &buckets_[item->NameHashCached() & (buckets_.size() - 1)];
  while (*link && *link != item) link = &(*link)->hashNext_;
  if (*link) *link = item->hashNext_;
  item->hashNext_ = nullptr;
}

TIniItem* TIniList::ChainOf(std::string_view name, uint32_t& hash) const {
  if (name.empty() || namedCount_ == 0) return nullptr;
  if (!indexReady_.load(std::memory_order_acquire)) BuildIndex();
  hash = NameHash(name);
  return buckets_[hash & (buckets_.size() - 1)];
}

TIniItem* TIniList::FindLastNamed(std::string_view name, bool (*accept)(const TIniItem&)) const {
  return FindLastNamedIf(name, [accept](const TIniItem& item) { return !accept || accept(item); });
}

// ---- TIniObject

TIniObject::TIniObject(std::string name, std::string className)
    : TIniList(std::move(name), std::move(className), TIniKind::Object) {}

TRef<TIniList> TIniObject::NewEmpty() const {
  return MakeRef<TIniObject>(std::string(), std::string());
}

void TIniObject::WriteIndented(TTextSaver& saver, int indent) const {
  saver.WriteIndent(indent);
  saver.WriteRaw("object");
  const bool hasColon = Name().find(':') != std::string::npos;
  if (!Name().empty() || !ClassName().empty()) {
    saver.WriteRaw(" ");
    saver.WriteData(Name());
    // A name holding ":" needs the separator even without a class word to read back whole.
    if (!ClassName().empty() || hasColon) {
      saver.WriteRaw(":");
      saver.WriteData(ClassName());
    }
  }
  saver.WriteLineEnd();
  for (size_t i = 0; i < Count(); ++i) Item(i)->WriteIndented(saver, indent + 2);
  saver.WriteIndent(indent);
  saver.WriteRaw("end");
  saver.WriteLineEnd();
}

// ---- TIniSection

TIniSection::TIniSection(std::string name) : TIniSection(std::move(name), TIniKind::Section) {}

TIniSection::TIniSection(std::string name, TIniKind kind)
    : TIniList(std::move(name), std::string(), kind) {}

TRef<TIniList> TIniSection::NewEmpty() const { return MakeRef<TIniSection>(std::string()); }

void TIniSection::WriteIndented(TTextSaver& saver, int /*indent*/) const {
  saver.WriteRaw("[");
  saver.WriteData(Name());
  saver.WriteRaw("]");
  saver.WriteLineEnd();
  for (size_t i = 0; i < Count(); ++i) Item(i)->WriteIndented(saver, 0);
}

// ---- TIniFile

TIniFile::TIniFile() : TIniSection(std::string(), TIniKind::File) {}

TRef<TIniList> TIniFile::NewEmpty() const { return MakeRef<TIniFile>(); }

TRef<TIniFile> TIniFile::CloneFile() const {
  TRef<TIniItem> copy = Clone();
  return TRef<TIniFile>::Adopt(static_cast<TIniFile*>(copy.Detach()));
}

void TIniFile::WriteIndented(TTextSaver& saver, int /*indent*/) const {
  for (size_t i = 0; i < Count(); ++i) Item(i)->WriteIndented(saver, 0);
}

void TIniFile::Clear() {
  sections_.clear();
  TIniList::Clear();
}

void TIniFile::Assign(const TIniList& source) { TIniList::Assign(source); }

void TIniFile::SectionAttached(TIniSection& section, bool attached) {
  if (attached) {
    const auto at =
        std::upper_bound(sections_.begin(), sections_.end(), section.ItemIndex(),
                         [](size_t i, const TIniSection* s) { return i < s->ItemIndex(); });
    const auto pos = static_cast<size_t>(at - sections_.begin());
    sections_.insert(at, &section);
    for (size_t i = pos; i < sections_.size(); ++i) sections_[i]->sectionIndex_ = i;
    return;
  }
  const size_t pos = section.sectionIndex_;
  VYR_ASSERT_MSG(pos < sections_.size() && sections_[pos] == &section,
                 "TIniSection.SectionIndex mismatch");
  sections_.erase(sections_.begin() + static_cast<ptrdiff_t>(pos));
  for (size_t i = pos; i < sections_.size(); ++i) sections_[i]->sectionIndex_ = i;
}

void TIniFile::CheckOwnInvariants() const {
  size_t sections = 0;
  for (size_t i = 0; i < Count(); ++i) {
    const TIniItem* item = Item(i);
    if (!item->IsSection()) continue;
    VYR_ASSERT_MSG(sections < sections_.size() && sections_[sections] == item &&
                       sections_[sections]->sectionIndex_ == sections,
                   "TIniSection.SectionIndex mismatch");
    ++sections;
  }
  VYR_ASSERT_MSG(sections == sections_.size(), "TIniSection.SectionIndex mismatch");
}

}  // namespace vyr

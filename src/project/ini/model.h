#pragma once
// The in-memory model of the INI dialect: a tree of lists (file, sections, object
// blocks) holding items (keys and text lines) in text order, with a lazily built
// case-insensitive name index per list.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/case_fold.h"
#include "foundation/ref_object.h"
#include "foundation/stream.h"

namespace vyr {

class TTextSaver;
class TIniList;
class TIniObject;
class TIniSection;
class TIniFile;

// Something that can write itself to a text saver.
class TTextWriter : public TRefObject {
 public:
  virtual void Write(TTextSaver& saver) const = 0;
};

enum class TIniKind : uint8_t { Item, List, Object, Section, File };

// One line of text: a key (name and value) or a text line (empty name, the line as value).
class TIniItem : public TTextWriter {
 public:
  TIniItem(std::string name, std::string value);

  void Write(TTextSaver& saver) const final { WriteIndented(saver, 0); }
  virtual void WriteIndented(TTextSaver& saver, int indent) const;
  // True when list is this item or lies inside it (false for a plain item).
  virtual bool Contains(const TIniList& list) const;
  // A deep copy, detached.
  virtual TRef<TIniItem> Clone() const;
  // A key is a plain item with a name.
  virtual bool IsKey() const { return !name_.empty(); }

  const std::string& Name() const { return name_; }
  const std::string& Value() const { return value_; }
  void SetValue(std::string value) { value_ = std::move(value); }

  TIniKind Kind() const { return kind_; }
  bool IsList() const { return kind_ != TIniKind::Item; }
  bool IsObject() const { return kind_ == TIniKind::Object; }
  bool IsSection() const { return kind_ == TIniKind::Section || kind_ == TIniKind::File; }

  // The list holding this item (none while detached) and the position there.
  TIniList* Owner() const { return owner_; }
  size_t ItemIndex() const { return itemIndex_; }

 protected:
  TIniItem(std::string name, std::string value, TIniKind kind);
  // Called by the owner after the item was attached (flag true) or detached.
  virtual void AttachedOrDetached(bool /*attached*/) {}

 private:
  friend class TIniList;
  uint32_t NameHashCached() const;
  TIniList* owner_ = nullptr;
  size_t itemIndex_ = 0;
  TIniItem* hashNext_ = nullptr;
  mutable uint32_t hash_ = 0;
  TIniKind kind_;
  mutable bool hashed_ = false;
  std::string name_;
  std::string value_;
};

// An ordered list of items with a name index, its object blocks and a key insertion point.
class TIniList : public TIniItem {
 public:
  TIniList(std::string name, std::string value);

  bool Contains(const TIniList& list) const override;
  TRef<TIniItem> Clone() const override;
  bool IsKey() const override { return false; }

  // A fresh, empty list of the same class (name and value empty).
  virtual TRef<TIniList> NewEmpty() const;
  // Detaches and frees every item.
  virtual void Clear();
  // Replaces the items by clones of the source's items.
  virtual void Assign(const TIniList& source);

  size_t Count() const { return items_.size(); }
  TIniItem* Item(size_t index) const { return items_[index].Get(); }
  // The object blocks, in item order.
  const std::vector<TIniObject*>& Objects() const { return objects_; }
  // One past the last key of the list: where new keys go.
  size_t KeyInsertPoint() const { return keyInsert_; }

  // Attaches item at index (clamped to Count), detaching it from its old owner first.
  // Refused (false) when item is this list or one of its ancestors.
  bool Insert(size_t index, TRef<TIniItem> item);
  bool Add(TRef<TIniItem> item) { return Insert(Count(), std::move(item)); }
  // Takes the item out of this list and hands over the list's reference.
  TRef<TIniItem> Detach(TIniItem* item);
  void Remove(TIniItem* item) { Detach(item); }
  void Delete(size_t index) { Detach(Item(index)); }
  // Moves an item of this list to another position (index after the move).
  void Move(TIniItem* item, size_t newIndex);

  // Convenience builders; each returns the new item.
  TIniItem* AddKey(std::string name, std::string value);
  TIniItem* AddText(std::string text);
  // A new object block after the last object block, or at the key insertion point.
  TIniObject* AddObject(std::string name, std::string className);

  // The last item with that name whose kind passes the filter (nullptr for any kind).
  TIniItem* FindLastNamed(std::string_view name, bool (*accept)(const TIniItem&) = nullptr) const;
  // The last item with that name for which accept(item) holds.
  template <class Accept>
  TIniItem* FindLastNamedIf(std::string_view name, Accept&& accept) const {
    uint32_t hash = 0;
    for (TIniItem* item = ChainOf(name, hash); item; item = item->hashNext_) {
      if (item->hash_ == hash && SameName(item->Name(), name) && accept(*item)) return item;
    }
    return nullptr;
  }
  // Verifies every structural invariant; a violation raises an assertion.
  void CheckInvariants() const;

 protected:
  TIniList(std::string name, std::string value, TIniKind kind);
  void Dispose() override;
  // Keeps a file's section list: called after a section was attached, before it is detached.
  virtual void SectionAttached(TIniSection& section, bool attached);
  virtual void CheckOwnInvariants() const;

 private:
  void CheckItem(const TIniItem& item) const;
  void IndexInsert(TIniItem* item) const;
  void IndexRemove(TIniItem* item) const;
  void BuildIndex() const;
  void DropIndex() const;
  // The index chain that holds name (nullptr when nothing can match), and the name's hash.
  TIniItem* ChainOf(std::string_view name, uint32_t& hash) const;
  void ReleaseItems();

  std::vector<TRef<TIniItem>> items_;
  std::vector<TIniObject*> objects_;
  size_t keyInsert_ = 0;
  size_t namedCount_ = 0;
  mutable std::vector<TIniItem*> buckets_;  // empty until the first lookup
  // Set once buckets_ is complete, so readers of a shared model may build it concurrently.
  mutable std::atomic<bool> indexReady_{false};
};

// An object block: a named list with a class word (kept as its value).
class TIniObject : public TIniList {
 public:
  TIniObject(std::string name, std::string className);

  void WriteIndented(TTextSaver& saver, int indent) const override;
  TRef<TIniList> NewEmpty() const override;

  const std::string& ClassName() const { return Value(); }
  // Position in the owner's object list.
  size_t ObjectIndex() const { return objectIndex_; }

 private:
  friend class TIniList;
  size_t objectIndex_ = 0;
};

// A section of a file: its keys, text lines and object blocks up to the next header.
class TIniSection : public TIniList {
 public:
  explicit TIniSection(std::string name);

  void WriteIndented(TTextSaver& saver, int indent) const override;
  TRef<TIniList> NewEmpty() const override;

  // Position in the file's section list.
  size_t SectionIndex() const { return sectionIndex_; }

 protected:
  TIniSection(std::string name, TIniKind kind);

 private:
  friend class TIniList;
  friend class TIniFile;
  size_t sectionIndex_ = 0;
};

// The root: its own items (the lines before the first header) followed by its sections.
class TIniFile : public TIniSection {
 public:
  TIniFile();

  void WriteIndented(TTextSaver& saver, int indent) const override;
  TRef<TIniList> NewEmpty() const override;
  void Clear() override;
  void Assign(const TIniList& source) override;
  // From a list: clones of its items; from any other item: its text, parsed.
  void AssignItem(const TIniItem& source);
  TRef<TIniFile> CloneFile() const;

  const std::vector<TIniSection*>& Sections() const { return sections_; }
  size_t SectionCount() const { return sections_.size(); }
  TIniSection* Section(size_t index) const { return sections_[index]; }

  // Loading clears the model first. Streams are read from their position to the end.
  // Text starting with EF BB BF is UTF-8, with FF FE UTF-16LE, else the ANSI code page.
  // Fails (model empty) when the stream cannot be read or holds more than kMaxLoadSize bytes.
  bool LoadFromStream(TStream& stream);
  bool LoadFromBytes(std::string_view bytes);
  bool LoadFromBytes(const std::vector<uint8_t>& bytes);
  // Through the process's file-open hook.
  bool LoadFromFile(const std::string& path);
  // Parses text that is UTF-8 already (no byte order mark detection).
  void LoadFromUtf8(std::string_view text);

  // UTF-8 with CR LF line ends; false when the stream raised an error.
  bool SaveToStream(TStream& stream, bool withByteOrderMark) const;
  std::string SaveToBytes(bool withByteOrderMark) const;
  // Through the process's file-create hook, with byte order mark, cut at the end.
  bool SaveToFile(const std::string& path) const;

  // The whole model as one line of value text, and back (false on invalid value text).
  std::string SaveToValueText() const;
  bool LoadFromValueText(std::string_view valueText);

  static constexpr int64_t kMaxLoadSize = 134217727;

 protected:
  void SectionAttached(TIniSection& section, bool attached) override;
  void CheckOwnInvariants() const override;

 private:
  std::vector<TIniSection*> sections_;
};

}  // namespace vyr

#include "render/compose/kept_buffers.h"

#include <algorithm>

namespace vyr {

TKeptBuffers::TEntry* TKeptBuffers::Find(uint64_t serial) {
  for (TEntry& entry : entries_)
    if (entry.serial == serial) return &entry;
  return nullptr;
}

void TKeptBuffers::BeginFrame() {
  for (TEntry& entry : entries_)
    if (!entry.used) pool_.Release(std::move(entry.target));
  std::erase_if(entries_, [](const TEntry& entry) { return !entry.target; });
  for (TEntry& entry : entries_) entry.used = false;
}

TCustomTexture* TKeptBuffers::Kept(const TDrawItem& item, const TBufferContext& context) {
  TEntry* entry = Find(item.Serial());
  // A kept entry was filled by the last frame (older ones went back at BeginFrame), so the
  // item's change report covers everything since.
  if (!entry || !(entry->context == context) || item.IsChanged() ||
      !entry->target->HasDeviceTexture())
    return nullptr;
  entry->used = true;
  ++reused_;
  return entry->target.Get();
}

TCustomTexture* TKeptBuffers::Fresh(const TDrawItem& item, const TBufferContext& context) {
  TEntry* entry = Find(item.Serial());
  if (!entry) {
    TRef<TCustomTexture> target = pool_.Acquire();
    if (!target) return nullptr;
    entry = &entries_.emplace_back();
    entry->serial = item.Serial();
    entry->target = std::move(target);
  }
  entry->context = context;
  entry->used = true;
  return entry->target.Get();
}

void TKeptBuffers::Forget(const TDrawItem& item) {
  if (TEntry* entry = Find(item.Serial())) {
    pool_.Release(std::move(entry->target));
    std::erase_if(entries_, [](const TEntry& e) { return !e.target; });
  }
}

void TKeptBuffers::Clear() {
  for (TEntry& entry : entries_) pool_.Release(std::move(entry.target));
  entries_.clear();
}

}  // namespace vyr

#include "audio/schedule/play_list.h"

#include <algorithm>

namespace vyr {

void TPlayList::Add(const TMusicItemInfo& item) {
  if (items_.size() == items_.capacity())
    items_.reserve(items_.empty() ? 1 : std::max<size_t>(8, items_.capacity() * 2));
  items_.push_back(item);
  total_ = std::max(total_, item.start + item.length);
}

void TPlayList::Append(const std::string& name, double length) { Add({name, total_, 0, length}); }

}  // namespace vyr

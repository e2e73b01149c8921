#pragma once
// What the music schedule hands to the player: play lists of sounds on a time line and
// the clip sounds of a slide that are mixed into its comment.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ref_object.h"

namespace vyr {

// One clip sound of a slide.
struct TExtraMusicItem {
  std::string fileName;
  int32_t start = 0;     // ms after the slide's start
  int32_t offset = 0;    // ms into the file
  int32_t duration = 0;  // ms
  float volume = 1.0f;   // 1 = unchanged
};
using TExtraMusicItemArray = std::vector<TExtraMusicItem>;

// One entry of a play list: a sound file or a composite description.
struct TMusicItemInfo {
  std::string name;
  double start = 0;   // ms on the play list's time line
  double offset = 0;  // ms into the sound
  double length = 0;  // ms
};

class TPlayList : public TRefObject {
 public:
  void Add(const TMusicItemInfo& item);
  // Placed at the current total length, from the sound's beginning.
  void Append(const std::string& name, double length);

  int Count() const { return static_cast<int>(items_.size()); }
  const TMusicItemInfo& Item(int index) const { return items_[static_cast<size_t>(index)]; }
  // The largest start + length of any entry.
  double TotalLength() const { return total_; }
  bool Repeat() const { return repeat_; }
  void SetRepeat(bool repeat) { repeat_ = repeat; }

 private:
  std::vector<TMusicItemInfo> items_;
  double total_ = 0;
  bool repeat_ = false;
};

}  // namespace vyr

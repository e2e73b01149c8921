#pragma once
// The sounds of a slide's video clips, mixed into the slide's comment.

#include <functional>
#include <string_view>

#include "audio/schedule/play_list.h"

namespace vyr {

class TIniFile;
class TIniSection;

// Clip files marked to load from disk carry this prefix before their path.
inline constexpr std::string_view kLoadFromDiskPrefix = "LoadFromDisk:";

// transitionAfter(n): length in ms of the transition that follows slide n (1-based; for
// the last slide, what follows it when the show repeats, else 0).
TExtraMusicItemArray CollectClipSounds(const TIniFile& project,
                                       const std::function<double(int)>& transitionAfter,
                                       const TIniSection& slide);

}  // namespace vyr

#pragma once
// Turns an effect block's keys into a TVyrEffect of one of the built-in types.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "project/effects/effect_prop.h"
#include "project/effects/vyr_effect.h"

namespace vyr {

// Flags from a string of '0' and '1': flag k is set when character order[k] (1-based)
// is '1'. Characters missing from a short string count as '0'; extra ones are ignored.
std::vector<uint8_t> FlagsFromString(std::string_view text, std::span<const int> order);
// The first count characters in order.
std::vector<uint8_t> FlagsFromString(std::string_view text, int count);

// The effect a block describes for a built-in type, with all its variants; none when
// it has no variant.
TRef<TVyrEffect> BuildStandardEffect(TEffectType type, const TEffectProp& block, std::string name);

}  // namespace vyr

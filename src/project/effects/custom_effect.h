#pragma once
// Custom effects: a block picks one of the project's effect sections by a combination
// of its option keys; each combination is a variant.

#include <string>
#include <string_view>
#include <vector>

#include "project/effects/effect_prop.h"
#include "project/effects/vyr_effect.h"
#include "project/ini/model.h"

namespace vyr {

class TCustomVariants {
 public:
  // Reads "sectionfield" (the option keys) and each option key's flag string.
  explicit TCustomVariants(const TEffectProp& block);

  // The product of the option keys' lengths (1 without option keys).
  uint64_t Count() const { return count_; }
  // The slide key of variant v: "slide" + "_" + a one-hot string per option key, the
  // last key least significant; "slide_1" without option keys.
  std::string SlideKey(uint64_t v) const;
  // Every chosen position holds '1'.
  bool Enabled(uint64_t v) const;
  // The enabled variants in ascending order, at most limit of them.
  std::vector<uint64_t> EnabledVariants(size_t limit) const;

 private:
  std::vector<std::string> flags_;  // one flag string per option key
  uint64_t count_ = 1;
};

// A custom effect (type Custom) for the given slide key of the block: its effect section
// "effect_" + id, copied with the block's user properties, background keys and the
// presentation size. Without that section the effect carries no section.
TRef<TVyrEffect> BuildCustomEffect(const TIniFile& model, const TEffectProp& block,
                                   std::string_view slideKey, std::string name, int width,
                                   int height);

// The copy of the effect section as the custom transition reads it; none when missing.
TRef<TIniSection> PrepareCustomSection(const TIniFile& model, const TEffectProp& block,
                                       std::string_view effectId, int width, int height);

}  // namespace vyr

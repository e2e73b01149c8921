#include "project/effects/custom_effect.h"

#include <array>
#include <limits>

#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

// Past this many combinations a block is treated as having none: bad input, not a show.
constexpr uint64_t kMaxCombinations = uint64_t{1} << 40;

constexpr std::array<std::string_view, 8> kBackgroundKeys{
    "bstyle", "CustomEffBg",   "bcolor2",   "bcolorStyle",
    "bsize",  "TransparentBg", "CoverMode", "bcolor"};

}  // namespace

TCustomVariants::TCustomVariants(const TEffectProp& block) {
  for (const std::string& key : ReadList(block.Key("sectionfield"))) {
    if (key.empty()) continue;
    std::string flags = ReadText(block.Key(key));
    if (flags.empty() || count_ > kMaxCombinations / flags.size()) {
      count_ = 0;  // a key without positions (or an absurd product) allows no combination
      flags_.clear();
      return;
    }
    count_ *= flags.size();
    flags_.push_back(std::move(flags));
  }
}

std::string TCustomVariants::SlideKey(uint64_t v) const {
  if (flags_.empty()) return "slide_1";
  std::vector<std::string> parts(flags_.size());
  for (size_t k = flags_.size(); k-- > 0;) {
    const uint64_t radix = flags_[k].size();
    std::string oneHot(radix, '0');
    oneHot[v % radix] = '1';
    v /= radix;
    parts[k] = std::move(oneHot);
  }
  std::string key = "slide";
  for (const std::string& part : parts) key += "_" + part;
  return key;
}

bool TCustomVariants::Enabled(uint64_t v) const {
  if (v >= count_) return false;
  for (size_t k = flags_.size(); k-- > 0;) {
    const uint64_t radix = flags_[k].size();
    if (flags_[k][v % radix] != '1') return false;
    v /= radix;
  }
  return true;
}

std::vector<uint64_t> TCustomVariants::EnabledVariants(size_t limit) const {
  std::vector<uint64_t> result;
  if (count_ == 0 || limit == 0) return result;
  if (flags_.empty()) return {0};
  // Walk only the set positions of each key, like an odometer, the last key fastest.
  std::vector<std::vector<uint64_t>> setPositions(flags_.size());
  for (size_t k = 0; k < flags_.size(); ++k) {
    for (size_t i = 0; i < flags_[k].size(); ++i)
      if (flags_[k][i] == '1') setPositions[k].push_back(i);
    if (setPositions[k].empty()) return result;
  }
  std::vector<size_t> digit(flags_.size(), 0);
  while (result.size() < limit) {
    uint64_t v = 0;
    for (size_t k = 0; k < flags_.size(); ++k) v = v * flags_[k].size() + setPositions[k][digit[k]];
    result.push_back(v);
    size_t k = flags_.size();
    while (k-- > 0) {
      if (++digit[k] < setPositions[k].size()) break;
      digit[k] = 0;
    }
    if (k == std::numeric_limits<size_t>::max()) break;  // every combination visited
  }
  return result;
}

TRef<TIniSection> PrepareCustomSection(const TIniFile& model, const TEffectProp& block,
                                       std::string_view effectId, int width, int height) {
  const TIniSection* source = FindSection(&model, "effect_" + std::string(effectId));
  if (!source || source == &model) return nullptr;
  TRef<TIniItem> clone = source->Clone();
  TRef<TIniSection> copy = TRef<TIniSection>::Share(static_cast<TIniSection*>(clone.Get()));

  if (TIniObject* root = FindObjectOfClass(copy.Get(), "Root", "Container")) {
    const int32_t count = ReadInt(block.Key("userprops"), 0);
    for (int32_t k = 1; k <= count; ++k) {
      const std::string id = ReadText(block.Key("prop" + std::to_string(k)));
      if (id.empty()) continue;
      if (const TIniItem* value = block.Key(id)) WriteText(FindOrAddKey(root, id), value->Value());
    }
  }
  for (std::string_view key : kBackgroundKeys)
    if (const TIniItem* value = block.Key(key))
      WriteText(FindOrAddKey(copy.Get(), key), value->Value());
  WriteText(FindOrAddKey(copy.Get(), "bcolor1"), ReadText(block.Key("bcolor1"), "16711680"));
  WriteInt(FindOrAddKey(copy.Get(), "opt_scr_width"), width);
  WriteInt(FindOrAddKey(copy.Get(), "opt_scr_height"), height);
  return copy;
}

TRef<TVyrEffect> BuildCustomEffect(const TIniFile& model, const TEffectProp& block,
                                   std::string_view slideKey, std::string name, int width,
                                   int height) {
  auto effect = MakeRef<TVyrEffect>();
  effect->type = TEffectType::Custom;
  effect->name = std::move(name);
  effect->variants = 1;
  effect->SetSmoothing(ReadFloat(block.Key("smoothline"), 0));
  const std::string id = ReadText(block.Key(slideKey));
  effect->customSection = PrepareCustomSection(model, block, id, width, height);
  return effect;
}

}  // namespace vyr

#include "project/effects/effect_prop.h"

#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

TEffectProp::TEffectProp(TIniObject* object, TEffectKind kind, const TEffectProp* definition)
    : object_(TRef<TIniObject>::Share(object)), kind_(kind), definition_(definition) {}

bool TEffectProp::IsReference() const { return FindKey(object_.Get(), "ref") != nullptr; }

std::string TEffectProp::Name() const {
  if (const TIniItem* ref = FindKey(object_.Get(), "ref")) return ReadText(ref);
  return object_->Name();
}

const TIniItem* TEffectProp::OwnKey(std::string_view name) const {
  return FindKey(object_.Get(), name);
}

const TIniItem* TEffectProp::Key(std::string_view name) const {
  if (const TIniItem* own = OwnKey(name)) return own;
  return definition_ ? definition_->OwnKey(name) : nullptr;
}

std::vector<std::string> TEffectProp::OptionKeys() const {
  std::vector<std::string> keys;
  for (std::string& key : ReadList(Key("key")))
    if (!key.empty()) keys.push_back(std::move(key));
  return keys;
}

int TEffectProp::CheckedState() const {
  const std::vector<std::string> keys = OptionKeys();
  if (keys.empty()) return ReadBool(Key("checked"), false) ? 2 : 0;
  bool partial = false;
  for (const std::string& key : keys) {
    const std::string flags = ReadText(Key(key));
    const bool anySet = flags.find('1') != std::string::npos;
    const bool allSet = anySet && flags.find_first_not_of('1') == std::string::npos;
    if (!anySet) return 0;
    if (!allSet) partial = true;
  }
  return partial ? 1 : 2;
}

TEffectKind TEffectProp::DefinitionKind(const TIniObject& object) {
  return EffectKindFromCode(ReadInt(FindKey(&object, "stdidx"), -1));
}

}  // namespace vyr

#include "scene/expressions/modifiers.h"

#include <vector>

#include "foundation/case_fold.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/animation/animated_fields.h"
#include "scene/float_narrow.h"

namespace vyr {

namespace {

// Keys of a Mod object that are not parameters of its expression.
bool IsReservedKey(std::string_view name) {
  for (const char* key : {"fn", "dst", "id", "$rev", "Disable", "pcount", "Preset"})
    if (SameName(name, key)) return true;
  return name.size() >= 5 && SameName(name.substr(0, 5), "pinfo");
}

}  // namespace

// Names in the order the modifier looks them up: T, a group's fraction, "value",
// the Mod object's own keys, the object's values; the registry comes after.
class TVyrObjectMod::TResolver : public TCalcResolver {
 public:
  explicit TResolver(TVyrObjectMod& mod) : mod_(mod) {}

  TRef<TCalcFunc> Resolve(std::string_view name) override {
    if (name == "T" || name == "t") return Time(name, mod_.TargetGroup());
    if (const int group = FindTimeGroup(name); group >= 0) return Time(name, group);
    if (SameName(name, "value")) {
      return mod_.timeModifier_ ? Time(name, mod_.target_) : Field(name, mod_.target_);
    }
    if (!IsReservedKey(name)) {
      if (const TIniItem* key = FindKey(mod_.IniObject(), name))
        return MakeRef<TMathConst>(std::string(name), ReadFloat(key, 0));
    }
    if (const int index = FindAnimatedValue(name); index >= 0) return Field(name, index);
    return nullptr;
  }

 private:
  TRef<TCalcFunc> Time(std::string_view name, int group) {
    return MakeRef<TTimeGetter>(std::string(name), mod_.state_, group);
  }
  TRef<TCalcFunc> Field(std::string_view name, int index) {
    return MakeRef<TFieldGetter>(std::string(name), mod_.state_, index);
  }
  TVyrObjectMod& mod_;
};

int TVyrObjectMod::TargetGroup() const {
  return timeModifier_ ? target_ : kAnimatedFields[target_].group;
}

bool TVyrObjectMod::ReadParams() {
  program_.Compile("");  // empty until everything below succeeds
  target_ = -1;
  targetText_ = ReadText(FindKey(IniObject(), "dst"));
  if (const int group = FindTimeGroup(targetText_); group >= 0) {
    timeModifier_ = true;
    target_ = group;
  } else if (const int index = FindAnimatedValue(targetText_); index >= 0) {
    timeModifier_ = false;
    target_ = index;
  } else {
    return false;
  }
  const std::string fn = ReadText(FindKey(IniObject(), "fn"));
  if (fn.empty() || fn.size() > kMaxExpressionLength) return false;
  TResolver resolver(*this);
  return program_.Compile(fn, &resolver);
}

void TVyrObjectMod::Apply() {
  if (target_ < 0) return;
  const double result = GetResult();
  if (timeModifier_) {
    state_.SetGroupFraction(target_, result);
  } else {
    state_.SetAnimatedValue(target_, NarrowToFloat(result));
  }
}

TRef<TVyrObjectMod> CreateModifier(TIniObject& object, TAnimatedState& state) {
  auto mod = MakeRef<TVyrObjectMod>(state);
  if (!mod->Attach(&object)) return nullptr;
  return mod;
}

void ApplyModifierChain(TObjectFilter* chain) {
  TObjectFilter* small[8];
  std::vector<TObjectFilter*> large;
  int count = 0;
  for (TObjectFilter* f = chain; f; f = f->Next()) {
    if (count < 8) {
      small[count] = f;
    } else {
      if (count == 8) large.assign(small, small + 8);
      large.push_back(f);
    }
    ++count;
  }
  TObjectFilter* const* order = count <= 8 ? small : large.data();
  for (int i = count - 1; i >= 0; --i) {
    TObjectFilter* f = order[i];
    if (!f->Disabled() && f->GetKind() == kFilterValue) static_cast<TVyrObjectMod*>(f)->Apply();
  }
}

}  // namespace vyr

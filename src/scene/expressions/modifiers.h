#pragma once
// Expression modifiers of keyframes: a time modifier rewrites the fraction of a value
// group (Pos.T), a value modifier rewrites one animated value (Pos.X).

#include <string>

#include "scene/expressions/anim_variables.h"
#include "scene/expressions/program.h"
#include "scene/filters/object_filter.h"

namespace vyr {

class TVyrObjectMod : public TObjectFilter {
 public:
  static constexpr size_t kMaxExpressionLength = 256;

  explicit TVyrObjectMod(TAnimatedState& state) : TObjectFilter("Mod"), state_(state) {}

  int GetKind() const override { return kFilterValue; }
  // Reads "dst" and "fn" and compiles; false when the target does not resolve, the
  // expression is empty, too long or does not compile.
  bool ReadParams() override;
  // The expression's value now (0 after an arithmetic failure).
  double GetResult() override { return program_.Run(stack_); }
  // Writes the result into the target.
  void Apply();

  bool IsTimeModifier() const { return timeModifier_; }
  // The group of a time modifier, the value index of a value modifier.
  int Target() const { return target_; }
  // The value group the target belongs to.
  int TargetGroup() const;
  const std::string& TargetText() const { return targetText_; }
  const TCalcCmdList& Program() const { return program_; }

 private:
  class TResolver;

  TAnimatedState& state_;
  std::string targetText_;
  bool timeModifier_ = false;
  int target_ = -1;
  TCalcCmdList program_;
  TCalcStack stack_;
};

// The modifier of a keyframe's Mod object, bound to the object's state, attached to
// the INI object; none when it cannot work (ignored, the keyframe animates without it).
TRef<TVyrObjectMod> CreateModifier(TIniObject& object, TAnimatedState& state);

// Applies the enabled modifiers of a chain in file order (the tail first).
void ApplyModifierChain(TObjectFilter* chain);

}  // namespace vyr

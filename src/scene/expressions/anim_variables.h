#pragma once
// Expression variables bound to the animated state of one object: the fraction of a
// value group (a time variable such as Pos.T) or a current value (Pos.X).

#include "scene/expressions/functions.h"
#include "scene/float_narrow.h"

namespace vyr {

// What modifiers read and rewrite while an object is evaluated.
class TAnimatedState {
 public:
  virtual double GroupFraction(int group) const = 0;
  virtual void SetGroupFraction(int group, double fraction) = 0;
  virtual float AnimatedValue(int index) const = 0;
  virtual void SetAnimatedValue(int index, float value) = 0;
  // Where the fraction is kept, when it stays at one place (none otherwise).
  virtual const double* GroupFractionAddress(int) const { return nullptr; }

 protected:
  ~TAnimatedState() = default;
};

class TTimeGetter final : public TParamGetter {
 public:
  TTimeGetter(std::string name, TAnimatedState& state, int group)
      : TParamGetter(std::move(name)), state_(state), group_(group) {}
  double GetValue() const override { return state_.GroupFraction(group_); }
  void Apply(TCalcStack& stack) override { stack.Push(state_.GroupFraction(group_)); }
  const double* ValueAddress() const override { return state_.GroupFractionAddress(group_); }
  void SetValue(double value) override { state_.SetGroupFraction(group_, value); }

 private:
  TAnimatedState& state_;
  int group_;
};

class TFieldGetter final : public TParamGetter {
 public:
  TFieldGetter(std::string name, TAnimatedState& state, int index)
      : TParamGetter(std::move(name)), state_(state), index_(index) {}
  double GetValue() const override { return state_.AnimatedValue(index_); }
  void Apply(TCalcStack& stack) override { stack.Push(state_.AnimatedValue(index_)); }
  void SetValue(double value) override { state_.SetAnimatedValue(index_, NarrowToFloat(value)); }

 private:
  TAnimatedState& state_;
  int index_;
};

}  // namespace vyr

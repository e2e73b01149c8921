#pragma once
// Functions of the expression language. Each consumes its arguments from the
// calculation stack and leaves its result there; a failure leaves a value that is
// not finite, which stops the run.

#include <span>
#include <string>

#include "foundation/ref_object.h"
#include "scene/calc_stack.h"

namespace vyr {

class TCalcFunc : public TRefObject {
 public:
  TCalcFunc(std::string name, int argCount, bool foldable)
      : name_(std::move(name)), argCount_(argCount), foldable_(foldable) {}

  const std::string& Name() const { return name_; }
  int ArgCount() const { return argCount_; }
  // A foldable function of constant arguments is evaluated when compiling.
  bool Foldable() const { return foldable_; }

  virtual void Apply(TCalcStack& stack) = 0;
  // Offered the trailing constant arguments (in argument order), may return a cheaper
  // function that takes `consumed` fewer arguments (those constants built in).
  virtual TRef<TCalcFunc> Optimise(std::span<const double> trailing, int& consumed);

 private:
  std::string name_;
  int argCount_;
  bool foldable_;
};

// A function of the process-wide registry; the registry chains them by name hash.
class TMathFunc : public TCalcFunc {
 public:
  using TCalcFunc::TCalcFunc;

 private:
  friend class TMathRegistry;
  TMathFunc* next_ = nullptr;
};

class TMathConst : public TMathFunc {
 public:
  TMathConst(std::string name, double value) : TMathFunc(std::move(name), 0, true), value_(value) {}
  void Apply(TCalcStack& stack) override { stack.Push(value_); }
  double Value() const { return value_; }

 private:
  double value_;
};

class TMathWrapper0 : public TMathFunc {
 public:
  using Fn = double (*)();
  TMathWrapper0(std::string name, Fn fn, bool foldable)
      : TMathFunc(std::move(name), 0, foldable), fn_(fn) {}
  void Apply(TCalcStack& stack) override { stack.Push(fn_()); }

 private:
  Fn fn_;
};

class TMathWrapper1 : public TMathFunc {
 public:
  using Fn = double (*)(double);
  TMathWrapper1(std::string name, Fn fn) : TMathFunc(std::move(name), 1, true), fn_(fn) {}
  void Apply(TCalcStack& stack) override { stack.Top() = fn_(stack.Top()); }

 private:
  Fn fn_;
};

class TMathWrapper1Ext : public TMathFunc {
 public:
  using Fn = long double (*)(long double);
  TMathWrapper1Ext(std::string name, Fn fn) : TMathFunc(std::move(name), 1, true), fn_(fn) {}
  void Apply(TCalcStack& stack) override { stack.Top() = static_cast<double>(fn_(stack.Top())); }

 private:
  Fn fn_;
};

class TMathWrapper2Ext : public TMathFunc {
 public:
  using Fn = long double (*)(long double, long double);
  TMathWrapper2Ext(std::string name, Fn fn) : TMathFunc(std::move(name), 2, true), fn_(fn) {}
  void Apply(TCalcStack& stack) override {
    const double b = stack.Pop();
    stack.Top() = static_cast<double>(fn_(stack.Top(), b));
  }

 private:
  Fn fn_;
};

class TMathWrapper3 : public TMathFunc {
 public:
  using Fn = double (*)(double, double, double);
  TMathWrapper3(std::string name, Fn fn) : TMathFunc(std::move(name), 3, true), fn_(fn) {}
  void Apply(TCalcStack& stack) override {
    const double c = stack.Pop();
    const double b = stack.Pop();
    stack.Top() = fn_(stack.Top(), b, c);
  }

 private:
  Fn fn_;
};

// Power(base, exponent); a constant exponent 2 becomes "Sqr".
class TPowerOptFunc : public TMathWrapper2Ext {
 public:
  explicit TPowerOptFunc(std::string name);
  TRef<TCalcFunc> Optimise(std::span<const double> trailing, int& consumed) override;
};

// A variable: read at every run, never folded.
class TParamGetter : public TCalcFunc {
 public:
  explicit TParamGetter(std::string name) : TCalcFunc(std::move(name), 0, false) {}
  virtual double GetValue() const = 0;
  virtual void SetValue(double value) = 0;
  void Apply(TCalcStack& stack) override { stack.Push(GetValue()); }
};

// A variable that holds its own value.
class TParamValue : public TParamGetter {
 public:
  explicit TParamValue(std::string name, double value = 0)
      : TParamGetter(std::move(name)), value_(value) {}
  double GetValue() const override { return value_; }
  void SetValue(double value) override { value_ = value; }

 private:
  double value_;
};

}  // namespace vyr

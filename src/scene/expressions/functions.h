#pragma once
// Functions of the expression language. Each consumes its arguments from the
// calculation stack and leaves its result there; a failure leaves a value that is
// not finite, which stops the run.

#include <span>
#include <string>

#include "foundation/ref_object.h"
#include "scene/expressions/stack.h"

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

  // Direct forms the stack machine calls without going through Apply: a plain function
  // of one or two doubles, or the address of a variable's value.
  using TUnaryFn = double (*)(double);
  using TBinaryFn = double (*)(double, double);
  virtual TUnaryFn UnaryForm() const { return nullptr; }
  virtual TBinaryFn BinaryForm() const { return nullptr; }
  virtual const double* ValueAddress() const { return nullptr; }

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
  TUnaryFn UnaryForm() const override { return fn_; }

 private:
  Fn fn_;
};

// The "extended" functions work on doubles here: x87 extended precision costs several
// times as much per call, and operands and results are doubles anyway.
using TExtended = double;

class TMathWrapper1Ext : public TMathWrapper1 {
 public:
  using Fn = TExtended (*)(TExtended);
  TMathWrapper1Ext(std::string name, Fn fn) : TMathWrapper1(std::move(name), fn) {}
};

class TMathWrapper2Ext : public TMathFunc {
 public:
  using Fn = TExtended (*)(TExtended, TExtended);
  TMathWrapper2Ext(std::string name, Fn fn) : TMathFunc(std::move(name), 2, true), fn_(fn) {}
  void Apply(TCalcStack& stack) override {
    const double b = stack.Pop();
    stack.Top() = fn_(stack.Top(), b);
  }
  TBinaryFn BinaryForm() const override { return fn_; }

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
  void Apply(TCalcStack& stack) override { stack.Push(value_); }
  const double* ValueAddress() const override { return &value_; }

 private:
  double value_;
};

}  // namespace vyr

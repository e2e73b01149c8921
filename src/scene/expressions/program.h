#pragma once
// A compiled expression: a list of stack-machine commands produced by the compiler
// (with constant folding) and run at every evaluation.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "scene/expressions/functions.h"

namespace vyr {

enum TCalcOpcode : int {
  kCalcPush = 0,        // push the constant
  kCalcNegate = 1,      // top = -top
  kCalcAdd = 2,         // pop b; top = top + b
  kCalcSub = 3,         // pop b; top = top - b
  kCalcMul = 4,         // pop b; top = top * b
  kCalcDiv = 5,         // pop b; top = top / b
  kCalcAddConst = 6,    // top = top + constant
  kCalcMulConst = 7,    // top = top * constant
  kCalcConstMinus = 8,  // top = constant - top
  kCalcConstDiv = 9,    // top = constant / top
  kCalcCall = 10,       // 10 + n: call the function of n arguments
};

struct TCalcCmd {
  int opcode = kCalcPush;
  TRef<TCalcFunc> func;
  double constant = 0;
  // Shortcuts for a call, taken from the function when the command is made.
  TCalcFunc::TUnaryFn unary = nullptr;
  TCalcFunc::TBinaryFn binary = nullptr;
  const double* value = nullptr;
};

enum TCalcErrorCode : int {
  kCalcNoError = 0,
  kCalcExpected = 1,        // a token was expected: text names it
  kCalcBadExponent = 2,     // a number's exponent has no digits
  kCalcDivisionByZero = 3,  // division by a constant zero
  kCalcUnknown = 4,         // unknown name or operator
  kCalcConstantFailed = 5,  // a constant function or operation failed
  kCalcTooDeep = 6,         // parentheses or calls nested too deeply
};

struct TCalcError {
  int code = kCalcNoError;
  std::string text;
  size_t position = 0;  // byte offset in the expression
  std::string Message() const;
};

// Names of the modifier and its property set, asked before the function registry.
class TCalcResolver {
 public:
  virtual ~TCalcResolver() = default;
  // The function or variable of that name, or none.
  virtual TRef<TCalcFunc> Resolve(std::string_view name) = 0;
};

class TCalcCmdList {
 public:
  // Parentheses and function calls nest at most this deep.
  static constexpr int kMaxNesting = 128;

  TCalcCmdList() { commands_.reserve(16); }

  // Replaces the program; on an error the program is left empty and Error() tells why.
  bool Compile(std::string_view text, TCalcResolver* resolver = nullptr);
  // The value of the program, or 0 when it is empty, an arithmetic operation failed
  // (a value that is not finite) or the stack does not end with exactly one value.
  double Run(TCalcStack& stack) const;

  bool Empty() const { return commands_.empty(); }
  size_t Count() const { return commands_.size(); }
  const TCalcCmd& operator[](size_t i) const { return commands_[i]; }
  const TCalcError& Error() const { return error_; }
  // One line per command, for tracing.
  std::string Dump() const;

 private:
  std::vector<TCalcCmd> commands_;
  int maxDepth_ = 0;  // the most values the program has on the stack at once
  TCalcError error_;
};

}  // namespace vyr

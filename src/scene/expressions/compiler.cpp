// The expression compiler: recursive descent over
//   expression = term { ("+" | "-") term }
//   term       = factor { ("*" | "/") factor }
//   factor     = { "+" | "-" } ( "(" expression ")" | number | name [ "(" args ")" ] )
// emitting stack commands as it goes and folding constants on the way.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "scene/expressions/program.h"
#include "scene/expressions/registry.h"

namespace vyr {

namespace {

constexpr double kTiny = 0.00000001;

struct TCompileFailure {
  TCalcError error;
};

enum class TTokenKind { End, Number, Name, Operator };

struct TToken {
  TTokenKind kind = TTokenKind::End;
  char op = 0;
  double number = 0;
  std::string_view text;
  size_t position = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

class TCalcCompiler {
 public:
  TCalcCompiler(std::string_view text, TCalcResolver* resolver, std::vector<TCalcCmd>& out)
      : text_(text), resolver_(resolver), cmds_(out) {}

  void CompileAll() {
    Advance();
    Expression();
    if (token_.kind != TTokenKind::End) Fail(kCalcExpected, "Operator");
  }

 private:
  [[noreturn]] void Fail(int code, std::string text) {
    throw TCompileFailure{{code, std::move(text), token_.position}};
  }

  // ---- tokens ----
  void Advance() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) < '!') ++pos_;
    token_ = TToken{};
    token_.position = pos_;
    if (pos_ >= text_.size()) return;
    const char c = text_[pos_];
    if (IsDigit(c)) {
      ScanNumber();
    } else if (IsLetter(c)) {
      size_t end = pos_ + 1;
      while (end < text_.size() &&
             (IsLetter(text_[end]) || IsDigit(text_[end]) || text_[end] == '.'))
        ++end;
      token_.kind = TTokenKind::Name;
      token_.text = text_.substr(pos_, end - pos_);
      pos_ = end;
    } else if (c == '(' || c == ')' || c == '*' || c == '+' || c == ',' || c == '-' || c == '/') {
      token_.kind = TTokenKind::Operator;
      token_.op = c;
      ++pos_;
    } else {
      Fail(kCalcUnknown, std::string("unknown operator ") + c);
    }
  }

  void ScanNumber() {
    const size_t start = pos_;
    size_t end = pos_;
    while (end < text_.size() && IsDigit(text_[end])) ++end;
    if (end < text_.size() && text_[end] == '.') {
      ++end;
      while (end < text_.size() && IsDigit(text_[end])) ++end;
    }
    bool negativeExponent = false;
    if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
      ++end;
      if (end < text_.size() && (text_[end] == '+' || text_[end] == '-')) {
        negativeExponent = text_[end] == '-';
        ++end;
      }
      if (end >= text_.size() || !IsDigit(text_[end])) {
        pos_ = end;
        Fail(kCalcBadExponent, "exponent without digits");
      }
      while (end < text_.size() && IsDigit(text_[end])) ++end;
    }
    std::string digits(text_.substr(start, end - start));
    if (!digits.empty() && digits.back() == '.') digits.push_back('0');
    double value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
      if (!negativeExponent) Fail(kCalcConstantFailed, "number out of range " + digits);
      value = 0;  // too small to tell from zero
    }
    token_.kind = TTokenKind::Number;
    token_.number = value;
    token_.text = text_.substr(start, end - start);
    pos_ = end;
  }

  bool IsOp(char op) const { return token_.kind == TTokenKind::Operator && token_.op == op; }

  void Expect(char op, const char* expected) {
    if (!IsOp(op)) Fail(kCalcExpected, expected);
    Advance();
  }

  // ---- grammar ----
  void Expression() {
    if (++depth_ > TCalcCmdList::kMaxNesting) Fail(kCalcTooDeep, "nesting too deep");
    const size_t begin = cmds_.size();
    Term();
    while (IsOp('+') || IsOp('-')) {
      const char op = token_.op;
      Advance();
      const size_t right = cmds_.size();
      Term();
      Binary(op, begin, right);
    }
    --depth_;
  }

  void Term() {
    const size_t begin = cmds_.size();
    Factor();
    while (IsOp('*') || IsOp('/')) {
      const char op = token_.op;
      Advance();
      const size_t right = cmds_.size();
      Factor();
      Binary(op, begin, right);
    }
  }

  void Factor() {
    bool negate = false;
    while (IsOp('+') || IsOp('-')) {
      if (token_.op == '-') negate = !negate;
      Advance();
    }
    const size_t begin = cmds_.size();
    if (IsOp('(')) {
      Advance();
      Expression();
      Expect(')', "Operator or \")\"");
    } else if (token_.kind == TTokenKind::Number) {
      EmitConst(token_.number);
      Advance();
    } else if (token_.kind == TTokenKind::Name) {
      Name();
    } else {
      Fail(kCalcExpected, "Expression");
    }
    if (negate) {
      if (IsConst(begin)) {
        cmds_.back().constant = -cmds_.back().constant;
      } else {
        EmitNegate();
      }
    }
  }

  void Name() {
    const std::string_view name = token_.text;
    TRef<TCalcFunc> func;
    if (resolver_) func = resolver_->Resolve(name);
    if (!func) func = FindMathFunc(name);
    if (!func) Fail(kCalcUnknown, "unknown name " + std::string(name));
    Advance();
    const int n = func->ArgCount();
    std::vector<size_t> args;
    if (n > 0) {
      Expect('(', "(");
      for (int i = 0; i < n; ++i) {
        args.push_back(cmds_.size());
        Expression();
        if (i + 1 < n) Expect(',', ",");
      }
      Expect(')', ")");
    }
    Call(std::move(func), args);
  }

  // ---- emitting ----
  bool IsConst(size_t begin) const {
    return cmds_.size() == begin + 1 && cmds_[begin].opcode == kCalcPush;
  }
  bool IsConstRange(size_t begin, size_t end) const {
    return end == begin + 1 && cmds_[begin].opcode == kCalcPush;
  }
  bool LastIs(int opcode) const { return !cmds_.empty() && cmds_.back().opcode == opcode; }

  void Emit(int opcode, double constant = 0, TRef<TCalcFunc> func = nullptr) {
    TCalcCmd cmd{opcode, std::move(func), constant};
    if (cmd.func) {
      const int n = opcode - kCalcCall;
      if (n == 0) cmd.value = cmd.func->ValueAddress();
      if (n == 1) cmd.unary = cmd.func->UnaryForm();
      if (n == 2) cmd.binary = cmd.func->BinaryForm();
    }
    cmds_.push_back(std::move(cmd));
  }
  void EmitConst(double value) { Emit(kCalcPush, value); }

  void EmitNegate() {
    if (LastIs(kCalcNegate)) {
      cmds_.pop_back();
    } else {
      Emit(kCalcNegate);
    }
  }

  void EmitAddConst(double c) {
    if (LastIs(kCalcNegate)) {
      cmds_.pop_back();
      EmitConstMinus(c);
      return;
    }
    if (LastIs(kCalcConstMinus)) {
      const double merged = cmds_.back().constant + c;
      cmds_.pop_back();
      EmitConstMinus(merged);
      return;
    }
    if (LastIs(kCalcAddConst)) {
      c += cmds_.back().constant;
      cmds_.pop_back();
    }
    if (std::fabs(c) >= kTiny) Emit(kCalcAddConst, c);
  }

  void EmitConstMinus(double c) {
    if (std::fabs(c) < kTiny) {
      EmitNegate();
    } else {
      Emit(kCalcConstMinus, c);
    }
  }

  void EmitMulConst(double c) {
    if (LastIs(kCalcNegate)) {
      cmds_.pop_back();
      c = -c;
    } else if (LastIs(kCalcMulConst)) {
      c *= cmds_.back().constant;
      cmds_.pop_back();
    } else if (LastIs(kCalcConstDiv)) {
      cmds_.back().constant *= c;
      return;
    }
    if (std::fabs(c - 1) < kTiny) return;
    if (std::fabs(c + 1) < kTiny) {
      EmitNegate();
      return;
    }
    Emit(kCalcMulConst, c);
  }

  void Binary(char op, size_t left, size_t right) {
    const size_t end = cmds_.size();
    const bool leftConst = IsConstRange(left, right);
    const bool rightConst = IsConstRange(right, end);
    if (leftConst && rightConst) {
      const double a = cmds_[left].constant;
      const double b = cmds_[right].constant;
      if (op == '/' && b == 0) Fail(kCalcDivisionByZero, "division by zero");
      const double v = op == '+' ? a + b : op == '-' ? a - b : op == '*' ? a * b : a / b;
      if (!std::isfinite(v)) Fail(kCalcConstantFailed, std::string("constant operation ") + op);
      cmds_.resize(left);
      EmitConst(v);
    } else if (rightConst) {
      const double c = cmds_.back().constant;
      cmds_.pop_back();
      switch (op) {
        case '+':
          EmitAddConst(c);
          break;
        case '-':
          EmitAddConst(-c);
          break;
        case '*':
          EmitMulConst(c);
          break;
        default:
          if (c == 0) Fail(kCalcDivisionByZero, "division by zero");
          EmitMulConst(1 / c);
      }
    } else if (leftConst) {
      const double c = cmds_[left].constant;
      cmds_.erase(cmds_.begin() + static_cast<std::ptrdiff_t>(left));
      switch (op) {
        case '+':
          EmitAddConst(c);
          break;
        case '-':
          EmitConstMinus(c);
          break;
        case '*':
          EmitMulConst(c);
          break;
        default:
          Emit(kCalcConstDiv, c);
      }
    } else {
      Emit(op == '+' ? kCalcAdd : op == '-' ? kCalcSub : op == '*' ? kCalcMul : kCalcDiv);
    }
  }

  void Call(TRef<TCalcFunc> func, const std::vector<size_t>& args) {
    const int n = static_cast<int>(args.size());
    auto argEnd = [&](int i) { return i + 1 < n ? args[i + 1] : cmds_.size(); };
    int trailing = 0;
    while (trailing < n && IsConstRange(args[n - 1 - trailing], argEnd(n - 1 - trailing)))
      ++trailing;

    if (func->Foldable() && trailing == n) {
      TCalcStack stack;
      for (int i = 0; i < n; ++i) stack.Push(cmds_[args[i]].constant);
      func->Apply(stack);
      const double v = stack.Top();
      if (stack.Count() != 1 || !std::isfinite(v)) Fail(kCalcConstantFailed, func->Name());
      cmds_.resize(n > 0 ? args[0] : cmds_.size());
      EmitConst(v);
      return;
    }
    if (trailing > 0) {
      std::vector<double> values;
      for (int i = n - trailing; i < n; ++i) values.push_back(cmds_[args[i]].constant);
      int consumed = 0;
      TRef<TCalcFunc> cheaper = func->Optimise(values, consumed);
      if (cheaper && consumed > 0 && consumed <= trailing && cheaper->ArgCount() == n - consumed) {
        cmds_.resize(cmds_.size() - static_cast<size_t>(consumed));
        const int argCount = cheaper->ArgCount();
        Emit(kCalcCall + argCount, 0, std::move(cheaper));
        return;
      }
    }
    Emit(kCalcCall + n, 0, std::move(func));
  }

  std::string_view text_;
  TCalcResolver* resolver_;
  std::vector<TCalcCmd>& cmds_;
  size_t pos_ = 0;
  int depth_ = 0;
  TToken token_;
};

}  // namespace

bool TCalcCmdList::Compile(std::string_view text, TCalcResolver* resolver) {
  commands_.clear();
  maxDepth_ = 0;
  error_ = {};
  try {
    TCalcCompiler(text, resolver, commands_).CompileAll();
  } catch (const TCompileFailure& failure) {
    commands_.clear();
    error_ = failure.error;
    return false;
  }
  int depth = 0;
  for (const TCalcCmd& cmd : commands_) {
    if (cmd.opcode == kCalcPush) {
      ++depth;
    } else if (cmd.opcode >= kCalcAdd && cmd.opcode <= kCalcDiv) {
      --depth;
    } else if (cmd.opcode >= kCalcCall) {
      depth += 1 - (cmd.opcode - kCalcCall);
    }
    maxDepth_ = std::max(maxDepth_, depth);
  }
  return true;
}

}  // namespace vyr

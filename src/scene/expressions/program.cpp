#include <cmath>
#include <cstdio>

#include "scene/expressions/program.h"

namespace vyr {

std::string TCalcError::Message() const {
  std::string m;
  switch (code) {
    case kCalcNoError:
      return {};
    case kCalcExpected:
      m = "\"" + text + "\" expected";
      break;
    default:
      m = text;
  }
  return m + " at " + std::to_string(position);
}

double TCalcCmdList::Run(TCalcStack& stack) const {
  if (commands_.empty()) return 0;
  // The top and the count live in registers; the stack object is brought up to date
  // only around function calls.
  if (stack.rest_.size() < static_cast<size_t>(maxDepth_) + 1) stack.rest_.resize(maxDepth_ + 1);
  double* rest = stack.rest_.data();
  double top = 0;
  int count = 0;
  for (const TCalcCmd& cmd : commands_) {
    switch (cmd.opcode) {
      case kCalcPush:
        rest[count++] = top;
        top = cmd.constant;
        break;
      case kCalcNegate:
        top = -top;
        break;
      case kCalcAdd:
        top = rest[--count] + top;
        break;
      case kCalcSub:
        top = rest[--count] - top;
        break;
      case kCalcMul:
        top = rest[--count] * top;
        break;
      case kCalcDiv:
        top = rest[--count] / top;
        break;
      case kCalcAddConst:
        top += cmd.constant;
        break;
      case kCalcMulConst:
        top *= cmd.constant;
        break;
      case kCalcConstMinus:
        top = cmd.constant - top;
        break;
      case kCalcConstDiv:
        top = cmd.constant / top;
        break;
      default:
        if (cmd.value) {
          rest[count++] = top;
          top = *cmd.value;
          break;
        }
        if (cmd.unary) {
          top = cmd.unary(top);
          break;
        }
        if (cmd.binary) {
          top = cmd.binary(rest[--count], top);
          break;
        }
        stack.top_ = top;
        stack.count_ = count;
        cmd.func->Apply(stack);
        top = stack.top_;
        count = stack.count_;
        rest = stack.rest_.data();
    }
    // Division by zero, invalid operations and overflow all end in a value that is
    // not finite: the run stops there.
    if (!std::isfinite(top)) {
      stack.count_ = 0;
      return 0;
    }
  }
  stack.top_ = top;
  stack.count_ = count;
  return count == 1 ? top : 0;
}

std::string TCalcCmdList::Dump() const {
  static const char* const kNames[] = {"push",        "negate",   "add",       "sub",
                                       "mul",         "div",      "add-const", "mul-const",
                                       "const-minus", "const-div"};
  std::string out;
  char buf[64];
  for (const TCalcCmd& cmd : commands_) {
    if (cmd.opcode >= kCalcCall) {
      out += "call " + cmd.func->Name() + "/" + std::to_string(cmd.opcode - kCalcCall);
    } else {
      out += kNames[cmd.opcode];
      if (cmd.opcode == kCalcPush || cmd.opcode >= kCalcAddConst) {
        std::snprintf(buf, sizeof buf, " %.17g", cmd.constant);
        out += buf;
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace vyr

#include <cmath>
#include <cstdio>

#include "scene/calc_program.h"

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
  stack.Clear();
  for (const TCalcCmd& cmd : commands_) {
    switch (cmd.opcode) {
      case kCalcPush:
        stack.Push(cmd.constant);
        break;
      case kCalcNegate:
        stack.Top() = -stack.Top();
        break;
      case kCalcAdd: {
        const double b = stack.Pop();
        stack.Top() += b;
        break;
      }
      case kCalcSub: {
        const double b = stack.Pop();
        stack.Top() -= b;
        break;
      }
      case kCalcMul: {
        const double b = stack.Pop();
        stack.Top() *= b;
        break;
      }
      case kCalcDiv: {
        const double b = stack.Pop();
        stack.Top() /= b;
        break;
      }
      case kCalcAddConst:
        stack.Top() += cmd.constant;
        break;
      case kCalcMulConst:
        stack.Top() *= cmd.constant;
        break;
      case kCalcConstMinus:
        stack.Top() = cmd.constant - stack.Top();
        break;
      case kCalcConstDiv:
        stack.Top() = cmd.constant / stack.Top();
        break;
      default:
        cmd.func->Apply(stack);
    }
    // Division by zero, invalid operations and overflow all end in a value that is
    // not finite: the run stops there.
    if (!std::isfinite(stack.Top())) return 0;
  }
  return stack.Count() == 1 ? stack.Top() : 0;
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

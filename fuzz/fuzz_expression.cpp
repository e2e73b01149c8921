// Arbitrary text through the expression compiler and, when it compiles, the stack
// machine: never a crash, never runaway recursion, never a value that is not finite.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scene/expressions/program.h"

namespace {

class TFuzzNames : public vyr::TCalcResolver {
 public:
  vyr::TRef<vyr::TParamValue> t = vyr::MakeRef<vyr::TParamValue>("T", 0.5);
  vyr::TRef<vyr::TCalcFunc> Resolve(std::string_view name) override {
    if (name == "T") return t;
    if (name == "k") return vyr::MakeRef<vyr::TMathConst>("k", 4);
    return nullptr;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TFuzzNames names;
  vyr::TCalcCmdList program;
  const bool compiled = program.Compile(text, &names);
  if (compiled == program.Empty()) std::abort();
  vyr::TCalcStack stack;
  for (double t : {0.0, 0.5, 1.0, -1e300}) {
    names.t->SetValue(t);
    if (!std::isfinite(program.Run(stack))) std::abort();
  }
  return 0;
}

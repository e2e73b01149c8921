#include "scene/expressions/functions.h"

#include <cmath>

#include "scene/expressions/registry.h"

namespace vyr {

TRef<TCalcFunc> TCalcFunc::Optimise(std::span<const double>, int& consumed) {
  consumed = 0;
  return nullptr;
}

TPowerOptFunc::TPowerOptFunc(std::string name)
    : TMathWrapper2Ext(std::move(name),
                       [](double base, double exponent) { return std::pow(base, exponent); }) {}

TRef<TCalcFunc> TPowerOptFunc::Optimise(std::span<const double> trailing, int& consumed) {
  consumed = 0;
  if (trailing.empty() || trailing.back() != 2) return nullptr;
  TRef<TCalcFunc> sqr = FindMathFunc("Sqr");
  if (sqr) consumed = 1;
  return sqr;
}

}  // namespace vyr

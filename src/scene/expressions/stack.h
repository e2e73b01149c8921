#pragma once
// The value stack of the expression machine: the top kept apart, the rest in a
// growing array.

#include <vector>

#include "foundation/exceptions.h"

namespace vyr {

class TCalcStack {
 public:
  TCalcStack() : rest_(8) {}

  void Clear() { count_ = 0; }
  // Values on the stack, the top included.
  int Count() const { return count_; }

  void Push(double value) {
    if (static_cast<size_t>(count_) >= rest_.size()) rest_.resize(rest_.size() * 2);
    rest_[count_] = top_;  // slot 0 takes whatever was on top of an empty stack
    top_ = value;
    ++count_;
  }
  double Pop() {
    VYR_ASSERT_MSG(count_ > 0, "Calculation stack underflow");
    const double value = top_;
    top_ = rest_[--count_];
    return value;
  }
  double& Top() { return top_; }
  double Top() const { return top_; }

 private:
  friend class TCalcCmdList;  // runs programs on the raw slots

  double top_ = 0;
  int count_ = 0;
  std::vector<double> rest_;
};

}  // namespace vyr

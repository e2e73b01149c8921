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
    if (count_ > 0) {
      if (static_cast<size_t>(count_) > rest_.size()) rest_.resize(rest_.size() * 2);
      rest_[count_ - 1] = top_;
    }
    top_ = value;
    ++count_;
  }
  double Pop() {
    VYR_ASSERT_MSG(count_ > 0, "Calculation stack underflow");
    const double value = top_;
    if (--count_ > 0) top_ = rest_[count_ - 1];
    return value;
  }
  double& Top() { return top_; }
  double Top() const { return top_; }

 private:
  double top_ = 0;
  int count_ = 0;
  std::vector<double> rest_;
};

}  // namespace vyr

#include "systems/Result.h"

#include <cstddef>

void TResult::clear() {
  objective_ = 0;
  values_.clear();
  valid_ = false;
}

void TResult::setCount(int n) { values_.resize(n < 1 ? 0 : static_cast<std::size_t>(n), 0); }

long double TResult::getValue(int i) const { return i >= 0 && i < count() ? values_[static_cast<std::size_t>(i)] : 0; }

void TResult::setValue(int i, long double x) {
  if (i >= 0 && i < count()) values_[static_cast<std::size_t>(i)] = x;
}

void TResult::setObjective(long double x) {
  objective_ = x;
  valid_ = true;
}

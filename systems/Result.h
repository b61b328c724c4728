#pragma once
#include <vector>

// One result column of the optimiser: an objective and the values of the
// optimisable parameters that gave it, in parameter-list order.
class TResult {
 public:
  void clear();
  void setCount(int n);
  int count() const { return static_cast<int>(values_.size()); }
  long double getValue(int i) const;
  void setValue(int i, long double x);
  void setObjective(long double x);
  long double objective() const { return objective_; }
  bool valid() const { return valid_; }

 private:
  long double objective_ = 0;
  std::vector<long double> values_;
  bool valid_ = false;
};

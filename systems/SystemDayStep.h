#pragma once
#include <vector>

#include "sheet/Dependents.h"

class TSheet;

// The day step of a run: a new X in A1 and every formula that depends on
// it evaluated once, after everything it reads. Following the dependents
// lists depth first instead evaluates a cell once per path from X, which
// grows exponentially with symbols that read each other in diamonds. The
// order is taken from the lists the first day's full recalculation built.
class TSystemDayStep {
 public:
  explicit TSystemDayStep(TSheet& sheet);
  void setDay(double day);
  int dependentCount() const { return static_cast<int>(order_.size()); }

 private:
  TSheet& sheet_;
  std::vector<TCellCoord> order_;
};

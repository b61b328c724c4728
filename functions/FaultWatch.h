#pragma once
#include <cmath>

#include "platform/NumericErrors.h"

// The units run masked, so work that must tell its own faults from the
// caller's watches the flags: the caller's pending flags are kept aside and
// put back, so the work neither hides nor invents the caller's faults.
class TFaultWatch {
public:
  TFaultWatch() : callerFlags(floatingPointFlags()) { clearFloatingPointFaults(); }
  ~TFaultWatch() { restoreFloatingPointFlags(callerFlags); }
  TFaultWatch(const TFaultWatch&) = delete;
  TFaultWatch& operator=(const TFaultWatch&) = delete;

  bool faulted() const { return floatingPointFaultPending(); }

private:
  unsigned callerFlags;
};

// The direct form of a value keeps its last digits; where it leaves the
// extended range on the way (a power or factorial of thousands), the form in
// logarithms answers instead, and the faults of the attempt are dropped: the
// evaluator would otherwise report them over the right result.
template <typename TDirect, typename TLogarithmic>
long double directOrLogarithmic(TDirect direct, TLogarithmic logarithmic) {
  {
    TFaultWatch watch;
    try {
      long double value = direct();
      if (std::isfinite(value) && !watch.faulted()) return value;
    } catch (const EOverflow&) {
    }
  }
  return logarithmic();
}

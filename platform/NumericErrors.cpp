#include "platform/NumericErrors.h"

#include <cfenv>

void clearFloatingPointFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

bool floatingPointFaultPending() { return std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) != 0; }

void raiseFloatingPointFaults() {
  int raised = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
  if (raised == 0) return;
  std::feclearexcept(FE_ALL_EXCEPT);
  if (raised & FE_DIVBYZERO) throw EZeroDivide();
  if (raised & FE_INVALID) throw EInvalidOp();
  throw EOverflow();
}

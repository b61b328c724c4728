#include <gtest/gtest.h>

#include <cfenv>

#include <limits>

#include "platform/NumericErrors.h"

namespace {
volatile double zero = 0.0;
volatile long double hugeValue = std::numeric_limits<long double>::max();
}  // namespace

TEST(NumericErrors, MaskedFaultsOfBothUnitsBecomeTheirExceptions) {
  clearFloatingPointFaults();
  volatile double quotient = 1.0 / zero;
  (void)quotient;
  EXPECT_THROW(raiseFloatingPointFaults(), EZeroDivide);
  EXPECT_FALSE(floatingPointFaultPending());

  // mingw's library functions return NaN without raising the flag, so the
  // evaluator also checks results; a raw 0/0 does raise it.
  volatile long double invalid = (zero + 0.0L) / zero;
  (void)invalid;
  EXPECT_THROW(raiseFloatingPointFaults(), EInvalidOp);

  volatile long double product = hugeValue * 2.0L;
  (void)product;
  EXPECT_THROW(raiseFloatingPointFaults(), EOverflow);

  volatile double tiny = 1e-300 * 1e-300 + zero;
  (void)tiny;
  EXPECT_NO_THROW(raiseFloatingPointFaults());
}

TEST(NumericErrors, SavedFlagsComeBackAfterWorkThatClearedThem) {
  clearFloatingPointFaults();
  volatile long double quotient = 1.0L / zero;
  (void)quotient;
  unsigned saved = floatingPointFlags();
  clearFloatingPointFaults();
  EXPECT_FALSE(floatingPointFaultPending());
  restoreFloatingPointFlags(saved);
  EXPECT_THROW(raiseFloatingPointFaults(), EZeroDivide);
  restoreFloatingPointFlags(0);
  EXPECT_EQ(floatingPointFlags(), 0u);
  // Handing back an inexact flag must leave every exception masked: an
  // inexact division afterwards would otherwise trap and end the program.
  restoreFloatingPointFlags(FE_INEXACT | FE_DIVBYZERO);
  volatile long double third = (zero + 1.0L) / 3.0L;
  volatile double thirdAsDouble = static_cast<double>(third) / 3.0;
  (void)thirdAsDouble;
  EXPECT_THROW(raiseFloatingPointFaults(), EZeroDivide);
}

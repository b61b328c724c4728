#include <gtest/gtest.h>

#include "functions/CheckedArithmetic.h"
#include "platform/NumericErrors.h"

TEST(CheckedArithmetic, FaultsBecomeTheirExceptions) {
  EXPECT_THROW(quotient(1, 0), EZeroDivide);
  EXPECT_THROW(quotient(0, 0), EInvalidOp);
  EXPECT_THROW(naturalLog(0), EZeroDivide);
  EXPECT_THROW(naturalLog(-1), EInvalidOp);
  EXPECT_THROW(exponential(20000), EOverflow);
  EXPECT_THROW(growthFactor(-1, 2), EInvalidOp);
  EXPECT_DOUBLE_EQ(growthFactor(0.05, 2), 1.1025);
}

TEST(CheckedArithmetic, PowerRule) {
  EXPECT_EQ(powerOf(0, 0), 1);
  EXPECT_EQ(powerOf(0, 2.5), 0);
  EXPECT_EQ(powerOf(-2, 3), -8);
  EXPECT_EQ(powerOf(-2, -2), 0.25);
  EXPECT_EQ(powerOf(1.5L, 10), 57.6650390625L);
  EXPECT_NEAR(powerOf(2, 0.5), 1.4142135623730950488L, 1e-18);
  EXPECT_THROW(powerOf(-2, 0.5), EInvalidOp);
  EXPECT_THROW(powerOf(0, -1), EZeroDivide);
  EXPECT_THROW(powerOf(0, -0.5), EZeroDivide);
}

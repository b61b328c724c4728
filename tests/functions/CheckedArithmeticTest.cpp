#include <gtest/gtest.h>

#include "functions/CheckedArithmetic.h"
#include "model/Power.h"
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

TEST(CheckedArithmetic, PowersOfOneBaseFollowThePowerRule) {
  EXPECT_NEAR(TPowersOf(1.1L)(2), 1.21L, 1e-18);
  EXPECT_EQ(TPowersOf(1.1L)(0), 1);
  EXPECT_EQ(TPowersOf(-2)(3), -8);
  EXPECT_EQ(TPowersOf(0)(0.5), 0);
  EXPECT_THROW(TPowersOf(-2)(0.5), EInvalidOp);
  EXPECT_THROW(TPowersOf(0)(-1), EZeroDivide);
  EXPECT_THROW(TPowersOf(10)(5000), EOverflow);
  // Bit for bit the rule, whole exponents (day spans of whole years in
  // XNPV) included.
  for (long double base : {1.1L, 0.93L, 1.0000001L, 7.25L}) {
    const TPowersOf powers(base);
    for (int days = -3650; days <= 3650; days += 73) {
      long double exponent = days / 365.0L;
      EXPECT_EQ(powers(exponent), power(base, exponent)) << static_cast<double>(base) << " " << days;
    }
  }
}

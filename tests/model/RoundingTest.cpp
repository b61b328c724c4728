#include <gtest/gtest.h>

#include <cmath>

#include "model/Power.h"
#include "model/Rounding.h"
#include "platform/NumericErrors.h"

namespace {
// Results are compared as the doubles the sheet stores.
double rounded(int digits, int mode, double x) { return static_cast<double>(roundToDigits(digits, mode, x)); }
}  // namespace

TEST(RoundToDigits, HalvesGoToTheEvenNeighbourAndNearHalvesDoNot) {
  EXPECT_EQ(rounded(0, 0, 2.5), 2.0);
  EXPECT_EQ(rounded(0, 0, 1.5), 2.0);
  EXPECT_EQ(rounded(0, 0, 3.5), 4.0);
  EXPECT_EQ(rounded(0, 0, -2.5), -2.0);
  EXPECT_EQ(rounded(2, 0, 0.125), 0.12);
  EXPECT_EQ(rounded(2, 0, 0.135), 0.14);
  EXPECT_EQ(rounded(-2, 0, 250.0), 200.0);
  EXPECT_EQ(rounded(-2, 0, 350.0), 400.0);
  // Just outside the tie band the fraction decides.
  EXPECT_EQ(rounded(0, 0, 2.5000000000000018), 3.0);
  EXPECT_EQ(rounded(0, 0, 2.4999999999999982), 2.0);
  // A scaled half far above 10^16 still finds its even neighbour.
  EXPECT_EQ(rounded(0, 0, 1125899906842623.5), 1125899906842624.0);
  EXPECT_EQ(rounded(0, 0, 1125899906842624.5), 1125899906842624.0);
}

TEST(RoundToDigits, DirectedModesAndNegativeDigits) {
  EXPECT_EQ(rounded(0, 1, -1.1), -2.0);
  EXPECT_EQ(rounded(0, -1, -1.9), -1.0);
  EXPECT_EQ(rounded(-1, -1, 123.456), 120.0);
  EXPECT_EQ(rounded(-1, 1, 121.0), 130.0);
  EXPECT_EQ(rounded(3, 1, 0.0001), 0.001);
  EXPECT_EQ(rounded(2, -1, 1e-9), 0.0);
  EXPECT_EQ(rounded(1, 1, 1.1000001), 1.2);
}

TEST(RoundToDigits, DecimalsTypedIntoDoublesDoNotCrossAWholeStep) {
  EXPECT_EQ(rounded(1, 1, 1.1), 1.1);
  EXPECT_EQ(rounded(2, 1, 1.1), 1.1);
  EXPECT_EQ(rounded(2, -1, 4.35), 4.35);
  EXPECT_EQ(rounded(2, -1, 0.29), 0.29);
  EXPECT_EQ(rounded(1, 1, 0.1 * 3), 0.3);
  // Fractions that are really there stay, also where a double has few.
  EXPECT_EQ(rounded(0, 1, 281474976710656.25), 281474976710657.0);
  EXPECT_EQ(rounded(0, 1, 4503599627370495.5), 4503599627370496.0);
  EXPECT_EQ(rounded(0, -1, 4503599627370495.5), 4503599627370495.0);
}

// The whole part of a scaled value is found by rounding to the nearest
// whole number and stepping back when that lies above: ties to even, and
// values just below a whole number or a power of two, must still give the
// whole part.
TEST(RoundToDigits, WholePartsBelowWholeNumbersAndNearTwoToThe62) {
  EXPECT_EQ(roundToDigits(0, -1, 7.75L), 7.0L);
  EXPECT_EQ(roundToDigits(0, -1, 7.5L), 7.0L);
  EXPECT_EQ(roundToDigits(0, -1, 6.5L), 6.0L);
  EXPECT_EQ(roundToDigits(0, 1, 6.5L), 7.0L);
  EXPECT_EQ(roundToDigits(0, 0, 6.75L), 7.0L);
  EXPECT_EQ(roundToDigits(0, -1, 0x1p62L - 0.25L), 0x1p62L - 1);
  EXPECT_EQ(roundToDigits(0, 1, 0x1p62L - 0.25L), 0x1p62L);
  EXPECT_EQ(roundToDigits(0, 0, 0x1p62L - 0.75L), 0x1p62L - 1);
  EXPECT_EQ(roundToDigits(0, -1, 0x1p62L + 0.5L), 0x1p62L);
  EXPECT_EQ(roundToDigits(0, 0, -(0x1p62L - 0.25L)), -0x1p62L);
  EXPECT_EQ(roundToDigits(0, -1, 0x1p63L - 0.5L), 0x1p63L - 1);
}

TEST(RoundToDigits, NeverReturnsNegativeZero) {
  for (int mode : {-1, 0}) {
    EXPECT_FALSE(std::signbit(roundToDigits(2, mode, -0.0)));
    EXPECT_FALSE(std::signbit(roundToDigits(2, mode, -0.001)));
    EXPECT_FALSE(std::signbit(roundToDigits(0, mode, -0.4)));
  }
  EXPECT_FALSE(std::signbit(roundToMultiple(-0.5, 2)));
}

TEST(RoundToDigits, ExtremePositionsAndValuesStayFinite) {
  EXPECT_EQ(rounded(400, 0, 1.25), 1.25);
  EXPECT_EQ(rounded(4900, 0, 1e300), 1e300);
  EXPECT_EQ(rounded(-400, 0, 1e300), 0.0);
  EXPECT_EQ(rounded(2, 0, 1e20), 1e20);
  EXPECT_THROW(roundToDigits(5000, 0, 1.0), ERangeError);
  EXPECT_THROW(roundToDigits(-2147483647 - 1, 0, 1.0), ERangeError);
  EXPECT_TRUE(std::isnan(roundToDigits(2, 0, NAN)));
}

TEST(RoundToMultiple, CeilingFloorAndNearestFollowTheirQuotientRules) {
  EXPECT_EQ(static_cast<double>(ceilingToMultiple(2.1, 0.5)), 2.5);
  EXPECT_THROW(ceilingToMultiple(0, 1), ERangeError);
  EXPECT_THROW(ceilingToMultiple(-2.5, 1), ERangeError);
  EXPECT_THROW(ceilingToMultiple(1, 0), EZeroDivide);
  EXPECT_EQ(static_cast<double>(floorToMultiple(0, 1)), 0.0);
  EXPECT_EQ(static_cast<double>(floorToMultiple(2.9999999999999996, 1)), 3.0);
  EXPECT_EQ(static_cast<double>(floorToMultiple(-2.5, -1)), -2.0);
  EXPECT_THROW(floorToMultiple(-1, 1), ERangeError);
  EXPECT_EQ(static_cast<double>(roundToMultiple(-7, 2)), -8.0);
  EXPECT_EQ(static_cast<double>(roundToMultiple(7, -2)), 8.0);
  EXPECT_THROW(roundToMultiple(0, 0), EZeroDivide);
}

TEST(RoundToMultiple, CountsBeyondThirtyTwoBitsDoNotWrap) {
  EXPECT_EQ(static_cast<double>(ceilingToMultiple(3e9, 1)), 3e9);
  EXPECT_EQ(static_cast<double>(ceilingToMultiple(1e300, 1e-10)), 1e300);
  EXPECT_EQ(static_cast<double>(floorToMultiple(1e300, 1)), 1e300);
  EXPECT_EQ(static_cast<double>(floorToMultiple(5e18, 0.5)), 5e18);
  EXPECT_EQ(roundUpToOdd(2147483646.5), 2147483647);
  EXPECT_THROW(roundUpToOdd(3e9), ERangeError);
  EXPECT_THROW(roundUpToOdd(-3e9), ERangeError);
  EXPECT_THROW(roundUpToOdd(NAN), ERangeError);
}

TEST(RoundUpToOdd, MovesAwayFromZeroToTheNextOddInteger) {
  EXPECT_EQ(roundUpToOdd(0), 1);
  EXPECT_EQ(roundUpToOdd(2), 3);
  EXPECT_EQ(roundUpToOdd(3), 3);
  EXPECT_EQ(roundUpToOdd(-0.5), -1);
  EXPECT_EQ(roundUpToOdd(-2.5), -3);
  EXPECT_EQ(signOf(-0.0), 0);
  EXPECT_EQ(signOf(-3), -1);
}

TEST(Power, IntegralExponentsSquareAndOthersGoThroughLogarithms) {
  EXPECT_EQ(power(0, 0), 1.0L);
  EXPECT_EQ(power(0, 3), 0.0L);
  EXPECT_EQ(power(-2, 3), -8.0L);
  EXPECT_EQ(power(10, -2), 1.0L / 100.0L);
  EXPECT_EQ(power(10, 27), 1e27L);
  EXPECT_NEAR(static_cast<double>(power(2, 0.5)), std::sqrt(2.0), 1e-15);
  EXPECT_EQ(power(10, -5000), 0.0L);
  EXPECT_THROW(power(0, -1), EZeroDivide);
  EXPECT_THROW(power(0, -0.5), EZeroDivide);
  EXPECT_THROW(power(-8, 1.0 / 3), EInvalidOp);
  EXPECT_THROW(power(10, 5000), EOverflow);
  EXPECT_THROW(power(10, 1e10), EOverflow);
  // Whole exponents are told from others by rounding them.
  EXPECT_NEAR(static_cast<double>(power(2, 2.5L)), 4 * std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(power(4, -2.5L)), 1.0 / 32, 1e-17);
  EXPECT_THROW(power(-2, 2147483647), EOverflow);
  EXPECT_EQ(power(-1, 2147483647), -1.0L);
  EXPECT_EQ(power(-1, -2147483647), -1.0L);
}

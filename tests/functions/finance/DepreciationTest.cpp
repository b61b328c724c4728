#include <gtest/gtest.h>

#include "functions/finance/Depreciation.h"
#include "platform/NumericErrors.h"

// Expected values come from a script written for these tests (Python mpmath)
// that runs each method period by period from its textbook definition: the
// fixed rate rounded half-even to three decimals by Python's decimal module,
// the declining balance floored at salvage, and the straight-line switch over
// the remaining life.

TEST(FixedDecliningBalance, RoundedRateAndPartFirstAndLastYears) {
  // rate 1 - 0.1^(1/6) = 0.31871 rounds to 0.319.
  EXPECT_NEAR(fixedDecliningBalance(6, 1, 12, 1000000, 100000), 319000, 1e-8);
  EXPECT_NEAR(fixedDecliningBalance(6, 6, 12, 1000000, 100000), 46722.518280620919L, 1e-8);
  // Seven months in the first year: a seventh period takes the last five.
  EXPECT_NEAR(fixedDecliningBalance(6, 1, 7, 1000000, 100000), 186083.33333333333333L, 1e-8);
  EXPECT_NEAR(fixedDecliningBalance(6, 2, 7, 1000000, 100000), 259639.41666666666667L, 1e-8);
  EXPECT_NEAR(fixedDecliningBalance(6, 4, 7, 1000000, 100000), 120410.63551275L, 1e-8);
  EXPECT_NEAR(fixedDecliningBalance(6, 7, 7, 1000000, 100000), 15845.098473848073468L, 1e-8);
  EXPECT_THROW(fixedDecliningBalance(6, 8, 7, 1000000, 100000), ERangeError);
  EXPECT_THROW(fixedDecliningBalance(6, 7, 12, 1000000, 100000), ERangeError);
  EXPECT_THROW(fixedDecliningBalance(6, 1, 13, 1000000, 100000), ERangeError);
  EXPECT_THROW(fixedDecliningBalance(6, 1, 12, 1000, 1000), ERangeError);
  // A negative salvage has no real rate over more than one period.
  EXPECT_THROW(fixedDecliningBalance(6, 1, 12, 1000, -10), EInvalidOp);
}

TEST(DoubleDecliningBalance, DecliningBalanceFlooredAtSalvage) {
  EXPECT_NEAR(doubleDecliningBalance(3650, 1, 2400, 300, 2), 1.3150684931506849315L, 1e-12);
  EXPECT_NEAR(doubleDecliningBalance(120, 1, 2400, 300, 2), 40, 1e-12);
  EXPECT_NEAR(doubleDecliningBalance(10, 1, 2400, 300, 1.5), 360, 1e-12);
  EXPECT_NEAR(doubleDecliningBalance(10, 10, 2400, 300, 2), 22.1225472L, 1e-12);
  // Salvage reached in period 2: nothing later.
  EXPECT_NEAR(doubleDecliningBalance(5, 2, 10000, 5000, 2), 1000, 1e-12);
  EXPECT_EQ(doubleDecliningBalance(5, 3, 10000, 5000, 2), 0);
  EXPECT_THROW(doubleDecliningBalance(10, 11, 2400, 300, 2), ERangeError);
  EXPECT_THROW(doubleDecliningBalance(10, 1, 2400, 300, 0), ERangeError);
}

TEST(StraightLineAndSumOfYears, CheckNothingButDivideByLife) {
  EXPECT_EQ(straightLineDepreciation(30000, 7500, 10), 2250);
  EXPECT_NEAR(sumOfYearsDepreciation(30000, 7500, 10, 1), 4090.9090909090909091L, 1e-12);
  EXPECT_NEAR(sumOfYearsDepreciation(30000, 7500, 10, 10), 409.09090909090909091L, 1e-12);
  EXPECT_THROW(straightLineDepreciation(30000, 7500, 0), EZeroDivide);
  EXPECT_THROW(sumOfYearsDepreciation(30000, 7500, 0, 2), EZeroDivide);
}

TEST(VariableDecliningBalance, WholePeriods) {
  // 2400 / 300 over 10 periods never switches: 480, 384, 307.2, 245.76, ...
  EXPECT_NEAR(variableDecliningBalance(false, 2400, 300, 10, 0, 1, 2), 480, 1e-12);
  EXPECT_NEAR(variableDecliningBalance(false, 2400, 300, 10, 2, 5, 2), 749.568L, 1e-12);
  EXPECT_NEAR(variableDecliningBalance(false, 2400, 300, 10, 6, 10, 2), 329.1456L, 1e-12);
  EXPECT_NEAR(variableDecliningBalance(false, 2400, 300, 10, 0, 10, 2), 2100, 1e-12);
  EXPECT_NEAR(variableDecliningBalance(false, 2400, 300, 10, 3, 4, 1.5), 221.085L, 1e-12);
}

TEST(VariableDecliningBalance, SwitchesToStraightLineUnlessTold) {
  // Factor 1 over 5 periods: 2000, then 7000 / 4 = 1750 beats 1600 and stays;
  // without the switch 2000, 1600, 1280, 1024, 819.2.
  EXPECT_NEAR(variableDecliningBalance(false, 10000, 1000, 5, 0, 5, 1), 9000, 1e-9);
  EXPECT_NEAR(variableDecliningBalance(true, 10000, 1000, 5, 0, 5, 1), 6723.2L, 1e-9);
  EXPECT_NEAR(variableDecliningBalance(false, 10000, 1000, 5, 1, 3, 1), 3500, 1e-9);
  EXPECT_NEAR(variableDecliningBalance(true, 10000, 1000, 5, 1, 3, 1), 2880, 1e-9);
}

TEST(VariableDecliningBalance, FractionalAndEmptySpans) {
  EXPECT_EQ(variableDecliningBalance(false, 2400, 300, 10, 3, 3, 2), 0);
  // Start and end inside period 4: the book after four periods is 983.04; a
  // quarter period at 20 % takes it to 933.888, whose amount of 186.7776 a
  // period is taken for the half period from 4.25 to 4.75.
  EXPECT_NEAR(variableDecliningBalance(false, 2400, 300, 10, 4.25, 4.75, 2), 93.3888L, 1e-12);
  // From the end of the life to itself there is nothing left to spread.
  EXPECT_EQ(variableDecliningBalance(false, 2400, 300, 10, 10, 10, 2), 0);
  EXPECT_THROW(variableDecliningBalance(false, 2400, 300, 10, 0, 11, 2), ERangeError);
  EXPECT_THROW(variableDecliningBalance(false, 2400, 300, 10, 5, 4, 2), ERangeError);
}

TEST(DecliningBalances, StepsAreCapped) {
  EXPECT_THROW(variableDecliningBalance(false, 1, 0, 1e12, 1e12 - 1, 1e12, 2), ERangeError);
  EXPECT_THROW(fixedDecliningBalance(2147483647, 2147483647, 12, 1000, 1), ERangeError);
  EXPECT_THROW(doubleDecliningBalance(2147483647, 2147483647, 1000, 1, 2), ERangeError);
  EXPECT_NO_THROW(doubleDecliningBalance(maxDepreciationPeriods, maxDepreciationPeriods, 1e9, 1, 2));
}

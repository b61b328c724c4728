#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "functions/maths/Combinatorics.h"
#include "functions/maths/Polynomial.h"
#include "platform/NumericErrors.h"

TEST(Combinatorics, SmallCountsAndTheirDomains) {
  EXPECT_EQ(permutations(5, 0), 1.0L);
  EXPECT_EQ(permutations(5, 2), 20.0L);
  EXPECT_THROW(permutations(0, 0), ERangeError);
  EXPECT_THROW(permutations(5, 6), ERangeError);
  EXPECT_THROW(permutations(5, -1), ERangeError);
  EXPECT_EQ(combinations(5, 0), 1.0L);
  EXPECT_EQ(combinations(0, 0), 1.0L);
  EXPECT_EQ(combinations(5, 2), 10.0L);
  EXPECT_EQ(combinations(49, 6), 13983816.0L);
  EXPECT_THROW(combinations(-1, 0), ERangeError);
  EXPECT_THROW(combinations(5, -1), ERangeError);
  EXPECT_THROW(combinations(2, 3), ERangeError);
  EXPECT_EQ(factorial(0), 1.0L);
  EXPECT_EQ(factorial(20), 2432902008176640000.0L);
  EXPECT_THROW(factorial(-1), ERangeError);
  EXPECT_EQ(doubleFactorial(7), 105.0L);
  EXPECT_EQ(doubleFactorial(8), 384.0L);
  EXPECT_EQ(doubleFactorial(0), 1.0L);
  EXPECT_EQ(doubleFactorial(1), 1.0L);
  EXPECT_THROW(doubleFactorial(-1), ERangeError);
}

TEST(Combinatorics, HugeArgumentsOverflowQuicklyAndExactRatiosSurvive) {
  EXPECT_TRUE(std::isinf(factorial(2147483647)));
  EXPECT_TRUE(std::isinf(doubleFactorial(2147483647)));
  EXPECT_TRUE(std::isinf(permutations(2147483647, 2147483647)));
  EXPECT_EQ(combinations(2000, 2000), 1.0L);
  EXPECT_EQ(combinations(2147483647, 2147483646), 2147483647.0L);
  EXPECT_NEAR(static_cast<double>(combinations(3000, 2)), 4498500.0, 1e-6);
  long double large = combinations(5000, 2000);
  EXPECT_TRUE(std::isfinite(large));
  EXPECT_GT(large, 1e1400L);
}

TEST(Polynomial, HornerTakesTheHighestPowerFirst) {
  std::vector<long double> coefficients{2, -3, 0, 5};  // 2x^3 - 3x^2 + 5
  EXPECT_EQ(polyEval(coefficients, 3, 2), 9.0L);
  EXPECT_EQ(polyEval(coefficients, 0, 1e9), 2.0L);
  EXPECT_EQ(polyEval(coefficients, -4, 7), 2.0L);
  EXPECT_THROW(polyEval(coefficients, 4, 1), ERangeError);
  EXPECT_THROW(polyEval({}, 0, 1), ERangeError);
}

#include <gtest/gtest.h>

#include <vector>

#include "functions/statistics/Regression.h"
#include "tests/functions/NumericTestSupport.h"

// Expected values from numpy (lstsq, the inverse of X'X for the standard
// errors, polyfit) over the same observations.

namespace {

using Values = std::vector<long double>;

const Values y = {3.1L, 4.9L, 8.2L, 8.8L, 12.5L, 12.9L, 17.2L, 19.4L};
// x1 = 1 ... 8 and x2 as one observation a row (for a column of y) and as one
// variable a row (for a row of y).
const Values byRows = {1, 2, 2, 1, 3, 4, 4, 3, 5, 6, 6, 5, 7, 8, 8, 9};
const Values byColumns = {1, 2, 3, 4, 5, 6, 7, 8, 2, 1, 4, 3, 6, 5, 8, 9};

// m2, m1, b, their standard errors, R^2, se(y), F, df, SSreg, SSresid.
const Values withConstant = {0.7058823529411768L, 1.5460784313725495L, 0.5647058823529452L, 0.14486733115876269L,
                             0.16652993237717661L, 0.304861292288088L,  0.9966326345985352L, 0.3910268031533303L,
                             739.9201718389348L,   5,                   226.27049019607844L, 0.7645098039215668L};

void expectValues(const Values& actual, const Values& expected, long double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == 0)
      EXPECT_EQ(actual[i], 0.0L) << "entry " << i;
    else
      expectRelative(actual[i], expected[i], tolerance, "entry");
  }
}

}  // namespace

using Regression = TClearsFaultFlags;

TEST_F(Regression, TwoVariablesWithStatisticsInBothLayouts) {
  Values result;
  linearRegression(byRows, y, 2, result, true, true, 8, 1, 8);
  expectValues(result, withConstant, 1e-12L);
  linearRegression(byColumns, y, 8, result, true, true, 1, 8, 2);
  expectValues(result, withConstant, 1e-12L);
  linearRegression(byRows, y, 2, result, false, true, 8, 1, 8);
  expectValues(result, Values(withConstant.begin(), withConstant.begin() + 3), 1e-12L);
}

// R^2 and F take the spread about the mean also without a constant (not the
// sums of squares about zero some spreadsheets use there).
TEST_F(Regression, WithoutConstant) {
  Values result;
  linearRegression(byRows, y, 2, result, true, false, 8, 1, 8);
  expectValues(result,
               {0.6967741935483863L, 1.6553763440860214L, 0, 0.1716279435293554L, 0.18459881826820043L, 0,
                0.9943218455967308L, 0.46352630003525425L, 525.3406872966892L, 6, 225.74586021505377L,
                1.2891397849462352L},
               1e-12L);
}

TEST_F(Regression, PerfectFitSolvesButItsFRatioDividesByZero) {
  Values result;
  linearRegression({0, 1, 2}, {1, 3, 5}, 1, result, false, true, 3, 1, 3);
  expectValues(result, {2, 1}, 1e-18L);
  EXPECT_THROW(linearRegression({0, 1, 2}, {1, 3, 5}, 1, result, true, true, 3, 1, 3), EZeroDivide);
}

TEST_F(Regression, ShapeAndSingularityChecks) {
  Values result;
  EXPECT_THROW(linearRegression({1, 2}, {1, 2, 3}, 1, result, false, true, 3, 1, 3), ERangeError);
  EXPECT_THROW(linearRegression({1, 2, 3, 4}, {1, 2}, 2, result, false, true, 2, 1, 3), ERangeError);
  // No variable at all: the shape checks would divide by a zero count.
  EXPECT_THROW(linearRegression({}, {1, 2, 3}, 0, result, false, true, 3, 1, 0), ERangeError);
  EXPECT_THROW(linearRegression({1, 1, 1}, {1, 2, 3}, 1, result, false, true, 3, 1, 3), EZeroDivide);
  // Three unknowns from two observations.
  EXPECT_THROW(linearRegression({1, 2, 3, 5}, {1, 2}, 2, result, false, true, 2, 1, 2), EZeroDivide);
}

TEST_F(Regression, ExponentialFitAndGrowth) {
  const Values xe = {1, 2, 3, 4, 5, 6}, ye = {2.1L, 3.9L, 8.2L, 15.8L, 33.0L, 63.5L};
  Values result;
  exponentialRegression(xe, ye, 1, result, false, true, 6, 1, 6);
  expectValues(result, {1.9913234635814427L, 1.0252837616679256L}, 1e-13L);
  growthValues(xe, ye, {7, 8}, result, true, 2, 6, 1, 6, 1);
  expectValues(result, {127.30244834443151L, 253.50035235963105L}, 1e-13L);
  EXPECT_THROW(exponentialRegression(xe, {1, 2, 0, 4, 5, 6}, 1, result, false, true, 6, 1, 6), EZeroDivide);
}

TEST_F(Regression, TrendValuesInBothLayouts) {
  Values result;
  trendValues({1, 2, 3, 4, 5, 6, 7, 8}, y, {9, 10, 11}, result, true, 3, 8, 1, 8, 1);
  expectValues(result, {21.235714285714288L, 23.538095238095238L, 25.840476190476192L}, 1e-13L);
  // Rows of new values (x1' = 9, 10, 11; x2' = 7, 10, 12) shorter than the
  // rows of known values: each variable's row holds three entries.
  trendValues(byColumns, y, {9, 10, 11, 7, 10, 12}, result, true, 6, 1, 8, 2, 8);
  expectValues(result, {19.42058823529413L, 23.084313725490208L, 26.042156862745113L}, 1e-13L);
  EXPECT_THROW(trendValues(byColumns, y, {9, 10, 11, 7, 10}, result, true, 5, 1, 8, 2, 8), ERangeError);
}

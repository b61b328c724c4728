#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/TechnicalSeries.h"
#include "platform/NumericErrors.h"

namespace {
volatile long double zero = 0;
}

TEST(TechnicalSeries, ExponentialAverageStartsFromItsSeedAndKeepsEveryRow) {
  std::vector<long double> output{99};
  // alpha = 2 / (4 + 1): 10 * 0.4 + 4 * 0.6, then 20 * 0.4 + 6.4 * 0.6, then 5 * 0.4 + 11.84 * 0.6
  exponentialMovingAverage(series({10, 20, 5}), 4, 4, output);
  expectAllNear(output, {1, 6.4L, 2, 11.84L, 3, 9.104L});
  // A trailing partial row is ignored.
  exponentialMovingAverage({1, 10, 2}, 4, 4, output);
  expectAllNear(output, {1, 6.4L});
  output = {99};
  EXPECT_THROW(exponentialMovingAverage(series({1}), 0, 0, output), ERangeError);
  EXPECT_TRUE(output.empty());
}

TEST(TechnicalSeries, SimpleAverageNeedsAFullWindowAndRejectsAPeriodBelowOne) {
  std::vector<long double> output;
  simpleMovingAverage(series({2, 4, 9}), 3, output);
  EXPECT_EQ(output, (std::vector<long double>{3, 5}));
  simpleMovingAverage(series({2, 4, 9}), 4, output);
  EXPECT_TRUE(output.empty());
  EXPECT_THROW(simpleMovingAverage(series({2, 4, 9}), 0, output), ERangeError);
}

TEST(TechnicalSeries, MomentumAndRateOfChangeLookBackPeriodRows) {
  std::vector<long double> output;
  momentum(series({1, 4, 9, 16}), 2, output);
  EXPECT_EQ(output, (std::vector<long double>{3, 8, 4, 12}));
  // Row 3 would divide by the zero of row 2: it is left out, its neighbours stay.
  rateOfChange(series({1, 0, 2, 4, 8}), 1, output);
  EXPECT_EQ(output, (std::vector<long double>{2, -100, 4, 100, 5, 100}));
  EXPECT_FALSE(floatingPointFaultPending());
}

TEST(TechnicalSeries, GuardedRowsKeepTheCallersEarlierFaults) {
  clearFloatingPointFaults();
  volatile long double infinite = 1 / zero;
  (void)infinite;
  std::vector<long double> output;
  rateOfChange(series({1, 0, 2}), 1, output);
  EXPECT_THROW(raiseFloatingPointFaults(), EZeroDivide);
}

TEST(TechnicalSeries, TypicalPriceAndTrueRangeOfOneRow) {
  std::vector<long double> output;
  typicalPriceSeries({7, 12, 9, 12}, output);
  EXPECT_EQ(output, (std::vector<long double>{7, 11}));
  trueRangeSeries({7, 12, 9, 12}, output);
  EXPECT_TRUE(output.empty());
  // The previous close widens the range on either side.
  EXPECT_EQ(trueRange(9, 12, 15), 6);
  EXPECT_EQ(trueRange(9, 12, 5), 7);
  EXPECT_EQ(trueRange(9, 12, 10), 3);
}

TEST(TechnicalSeries, DirectionalMovementCountsOnlyTheWinningMove) {
  EXPECT_EQ(directionalMovement(10, 5, 13, 4), 3);
  EXPECT_EQ(directionalMovement(10, 5, 11, 2), -3);
  EXPECT_EQ(directionalMovement(10, 5, 12, 3), 0);  // equal moves
  EXPECT_EQ(directionalMovement(10, 5, 9, 6), 0);   // inside day
}

TEST(TechnicalSeries, SwingIndex) {
  // a = 2, b = 0, c = 2: R = a - b / 2 + |11 - 10| / 4 = 2.25, K = 2;
  // (1 * 0.5 + 1.5 + 1 * 0.25) / 2.25 * 50 * 2 / 100 = 1.
  EXPECT_NEAR(static_cast<double>(swingIndex(0.01L, 10, 11, 11.5L, 13, 11, 12.5L)), 1.0, 1e-17);
  // The whole range wins: a = 1, b = 3, c = 4: R = 4 + 0.5 = 4.5, K = 3;
  // (-1 * 0.5 - 2 + 2 * 0.25) / 4.5 * 50 * 3 = -200 / 3 (limit move 1).
  EXPECT_NEAR(static_cast<double>(swingIndex(1, 8, 10, 9, 11, 7, 8)), -200.0 / 3, 1e-13);
  EXPECT_EQ(swingIndex(1, 10, 10, 10, 10, 10, 10), 0);
}

TEST(TechnicalSeries, AverageTrueRangeChecksItsWindow) {
  std::vector<long double> rows{1, 12, 9, 10, 2, 14, 11, 13};
  EXPECT_EQ(averageTrueRange(rows, 1, 1), 4);
  EXPECT_THROW(averageTrueRange(rows, 1, 2), ERangeError);
  EXPECT_THROW(averageTrueRange(rows, 2, 1), ERangeError);
}

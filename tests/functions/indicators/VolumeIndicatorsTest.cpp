#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/VolumeIndicators.h"
#include "platform/NumericErrors.h"

// Running totals start at their seed on row 0. References are hand sums.

namespace {

// (date, close, volume): a rise on less volume, an unchanged close on equal
// volume, a fall on more volume, a rise on less volume.
const std::vector<long double> closesAndVolumes{1, 10, 100, 2, 11, 80, 3, 11, 80, 4, 9, 95, 5, 12, 50};

}  // namespace

TEST(VolumeIndicators, VolumeTotalsAndIndices) {
  std::vector<long double> output;
  onBalanceVolume(closesAndVolumes, 0, output);
  EXPECT_EQ(recordColumn(output, 2, 1), (std::vector<long double>{0, 80, 80, -15, 35}));
  negativeVolumeIndex(closesAndVolumes, 1, output);
  expectAllNear(recordColumn(output, 2, 1), {1, 1.1L, 1.1L, 1.1L, 1.1L * 12 / 9});
  positiveVolumeIndex(closesAndVolumes, 1, output);
  expectAllNear(recordColumn(output, 2, 1), {1, 1, 1, 9 / 11.0L, 9 / 11.0L});
  priceVolumeTrend(closesAndVolumes, 0, output);
  expectAllNear(recordColumn(output, 2, 1), {0, 8, 8, -102 / 11.0L, 244 / 33.0L});
  priceVolumeTrend({1, 10, 100}, 7, output);
  EXPECT_EQ(output, (std::vector<long double>{1, 7}));
  EXPECT_THROW(priceVolumeTrend({1, 0, 100, 2, 1, 100}, 0, output), EZeroDivide);
  forceIndex({1, 10, 100, 2, 12, 50, 3, 11, 20}, output);
  EXPECT_EQ(output, (std::vector<long double>{2, 100, 3, -20}));
}

TEST(VolumeIndicators, AccumulationTotals) {
  std::vector<long double> output;
  // Close-location value times volume; the row without range keeps the total.
  accumulationDistribution({1, 12, 10, 11.5L, 100, 2, 11, 11, 11, 50, 3, 13, 9, 10, 40}, 10, output);
  EXPECT_EQ(output, (std::vector<long double>{1, 60, 2, 60, 3, 40}));
  EXPECT_FALSE(floatingPointFaultPending());
  // A rise counts from the lower of low and previous close, a fall from the higher.
  williamsAccumulationDistribution({1, 11, 9, 10, 2, 12, 10.5L, 11.5L, 3, 12, 9, 9.5L, 4, 10, 9, 9.5L}, 0, output);
  EXPECT_EQ(recordColumn(output, 2, 1), (std::vector<long double>{0, 1.5L, -1, -1}));
}

TEST(VolumeIndicators, SwingIndexSeriesAndItsTotal) {
  // (date, open, high, low, close); the second row's swing index is 1 for a limit move of 100.
  std::vector<long double> bars{1, 10, 11.5L, 9.5L, 11, 2, 11.5L, 13, 11, 12.5L};
  std::vector<long double> output;
  swingIndexSeries(bars, 100, output);
  expectAllNear(output, {2, 1});
  accumulationSwingIndex(bars, 100, 5, output);
  expectAllNear(output, {1, 5, 2, 6});
  EXPECT_THROW(accumulationSwingIndex({1, 10, 11, 9, 10}, 0, 0, output), EZeroDivide);
}

TEST(VolumeIndicators, EaseOfMovementLeavesRowsWithoutVolumeOut) {
  std::vector<long double> output;
  // Scale 2: range times midpoint shift over volume.
  easeOfMovement({1, 10, 8, 100, 2, 12, 10, 4, 3, 13, 11, 0, 4, 12, 9, 6}, 2, output);
  EXPECT_EQ(output, (std::vector<long double>{2, 2, 4, -1.5L}));
  EXPECT_FALSE(floatingPointFaultPending());
}

TEST(VolumeIndicators, MoneyFlowSumsAndIndex) {
  // High = low = close, so the typical price is the close: 10, 11, 10, 10, 12.
  std::vector<long double> rows;
  long double closes[] = {10, 11, 10, 10, 12};
  for (int t = 0; t < 5; ++t)
    for (long double value : {t + 1.0L, closes[t], closes[t], closes[t], t + 1.0L}) rows.push_back(value);
  std::vector<long double> output;
  // Flows: row 1 rises (22), row 2 falls (30), row 3 is unchanged, row 4 rises (60).
  positiveMoneyFlow(rows, 2, output);
  expectAllNear(output, {3, 22, 4, 0, 5, 60});
  negativeMoneyFlow(rows, 2, output);
  expectAllNear(output, {3, 30, 4, 30, 5, 0});
  // No positive flow reads 0, no negative flow 100.
  moneyFlowIndex(rows, 2, output);
  expectAllNear(output, {3, 100 - 100 * 30 / 52.0L, 4, 0, 5, 100});
  EXPECT_THROW(moneyFlowIndex(rows, 0, output), ERangeError);
}

TEST(VolumeIndicators, UpDownVolumeRatioOverAMovingWindow) {
  std::vector<long double> output;
  // Closes 10, 9, 11, 11, 11, 10 on volumes 1 ... 6, period 3: the up volume
  // of row 2 has left the window by row 5; row 4 has no down volume.
  upDownVolumeRatio({1, 10, 1, 2, 9, 2, 3, 11, 3, 4, 11, 4, 5, 11, 5, 6, 10, 6}, 3, output);
  EXPECT_EQ(output, (std::vector<long double>{4, 1.5L, 6, 0}));
  upDownVolumeRatio({1, 10, 1, 2, 11, 2, 3, 12, 3}, 1, output);
  EXPECT_TRUE(output.empty());
}

TEST(VolumeIndicators, DifferenceOscillatorRatesTheAverageDifference) {
  std::vector<long double> output;
  // a - b = 2, 4, 6, 5; period 2 from seed 1: averages 5/3, 29/9, 137/27, 407/81.
  differenceOscillator({1, 3, 1, 2, 5, 1, 3, 6, 0, 4, 7, 2}, 2, 1, output);
  expectAllNear(output, {3, 9200 / 45.0L, 4, 14600 / 261.0L});
  differenceOscillator({1, 2, 0, 2, 4, 0, 3, 0, 0, 4, 5, 0}, 1, 0, output);
  EXPECT_EQ(output, (std::vector<long double>{2, 100, 3, -100}));
}

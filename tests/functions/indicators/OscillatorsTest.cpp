#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/Oscillators.h"
#include "platform/CalendarDates.h"
#include "platform/NumericErrors.h"

// Every average here starts from an explicit seed (0 where the routine takes
// none). References: hand sums, or exact fractions of the definitions
// (Python) where noted.

TEST(Oscillators, MacdLineIsTheSecondAverageLessTheFirst) {
  std::vector<long double> output;
  // Periods 1 and 3: the averages are the value and half-way towards it.
  macd(series({10, 20}), 1, 3, 1, 0, 0, 0, output);
  EXPECT_EQ(output, (std::vector<long double>{1, -5, -5, 2, -7.5L, -7.5L}));
  // Equal averages: the line is 0 and the signal decays from its seed.
  macd(series({3, 9, 4}), 5, 5, 3, 2, 2, 8, output);
  EXPECT_EQ(output, (std::vector<long double>{1, 0, 4, 2, 0, 2, 3, 0, 1}));
  EXPECT_THROW(macd(series({3}), 5, 5, 0, 0, 0, 0, output), ERangeError);
}

TEST(Oscillators, TrixAndTrueStrengthLeaveFaultingRowsOut) {
  std::vector<long double> output;
  trix(series({1, 2, 0, 3}), 1, 0, 0, 0, output);  // period 1: the rate of change itself
  EXPECT_EQ(output, (std::vector<long double>{2, 100, 3, -100}));
  trix(series({4, 6, 5, 8}), 2, 1, 2, 3, output);  // Python fractions
  expectAllNear(output, {3, 58.6666666666666643L, 4, 50.6050605060506058L});

  trueStrengthIndex(series({1, 3, 2, 2, 5}), 1, 1, output);  // a flat row is 0 / 0
  EXPECT_EQ(output, (std::vector<long double>{2, 1, 3, -1, 5, 1}));
  trueStrengthIndex(series({1, 3, 2, 2, 5, 4}), 2, 3, output);  // Python fractions
  expectAllNear(recordColumn(output, 2, 1),
                {1, 0.25L, 0.11764705882352941L, 0.744394618834080757L, 0.369483919222139134L});
  EXPECT_THROW(trueStrengthIndex(series({1, 3}), 1, 0, output), ERangeError);
  EXPECT_FALSE(floatingPointFaultPending());
}

TEST(Oscillators, RelativeStrengthIndexDoesNotDecayTheSideThatDidNotMove) {
  std::vector<long double> output;
  relativeStrengthIndex(series({1, 2, 3, 4}), 2, output);  // no falls: 100
  EXPECT_EQ(output, (std::vector<long double>{3, 100, 4, 100}));
  relativeStrengthIndex(series({5, 5, 5}), 2, output);  // no moves: 50
  EXPECT_EQ(output, (std::vector<long double>{3, 50}));
  // After the rise the up average stays 1 on the falling row, where Wilder's
  // textbook form would halve it (33.3 instead of 50).
  relativeStrengthIndex(series({1, 2, 3, 4, 5, 3}), 2, output);
  EXPECT_EQ(recordColumn(output, 2, 1), (std::vector<long double>{100, 100, 100, 50}));
  EXPECT_FALSE(floatingPointFaultPending());
}

TEST(Oscillators, RelativeStrengthWalksTheSharedDates) {
  std::vector<long double> a = dated({1, 2, 3, 4, 5, 6}, {2, 4, 6, 8, 10, 12});
  std::vector<long double> b = dated({0, 2, 3, 5, 6}, {9, 1, 2, 0, 3});
  std::vector<long double> output;
  // Ratios 4 (day 2), 3 (day 3), 4 (day 6); day 5 divides by 0 and is dropped.
  relativeStrength(a, b, 1, output);
  expectAllNear(output, {3, 0.75L, 6, 4 / 3.0L});
  relativeStrength(a, b, 2, output);
  EXPECT_EQ(output, (std::vector<long double>{6, 1}));
  relativeStrength(a, b, 3, output);
  EXPECT_TRUE(output.empty());
  relativeStrength(a, dated({7, 8}, {1, 1}), 1, output);
  EXPECT_TRUE(output.empty());
  EXPECT_THROW(relativeStrength(a, b, 0, output), ERangeError);
}

TEST(Oscillators, DetrendedPriceSitsHalfAPeriodBeforeTheWindowsEnd) {
  std::vector<long double> output;
  detrendedPriceOscillator(series({1, 4, 2, 8, 5}), 3, output);
  expectAllNear(output, {2, 4 - 7 / 3.0L, 3, 2 - 14 / 3.0L});
  detrendedPriceOscillator(series({5, 7, 9}), 1, output);
  EXPECT_EQ(output, (std::vector<long double>{1, 0, 2, 0}));
}

TEST(Oscillators, StochasticSmoothsTheRawValueTwice) {
  std::vector<long double> output;
  stochastic({1, 10, 8, 9, 2, 5, 5, 5}, 1, 1, 1, output);  // a row without range reads 100
  EXPECT_EQ(output, (std::vector<long double>{1, 50, 50, 50, 2, 100, 100, 100}));
  // The first eight fixture rows, periods 2, 2, 2 (Python fractions).
  std::vector<TBar> bars(fixtureBars().begin(), fixtureBars().begin() + 8);
  stochastic(flatRows(bars, {&TBar::high, &TBar::low, &TBar::close}), 2, 2, 2, output);
  expectAllNear(output, {45003, 75.342465753424662L,  45.4693980143270053L, 31.2468768140660806L,
                         45004, 57.3797678275290224L, 66.3611167904768422L, 55.9152574024019202L,
                         45007, 21.5094339622641506L, 39.4446008948965883L, 52.9028588426867117L,
                         45008, 29.3577981651376163L, 25.4336160637008817L, 32.4391084792987314L,
                         45009, 45.3887884267631136L, 37.3732932959503614L, 31.4034546798256216L},
                1e-14L);
  stochastic(flatRows(bars, {&TBar::high, &TBar::low, &TBar::close}), 4, 3, 4, output);
  EXPECT_TRUE(output.empty());
}

TEST(Oscillators, CommodityChannelIndexMeasuresDeviationOverThePreviousRows) {
  // High = low = close: the typical prices are 1, 2, 4, 7.
  std::vector<long double> rows{1, 1, 1, 1, 2, 2, 2, 2, 3, 4, 4, 4, 4, 7, 7, 7};
  std::vector<long double> output;
  // Row 2: sum 6, mean 3, deviation |2 - 3| + |1 - 3| = 3: (8 - 6) / 0.045.
  // Row 3: sum 11, mean 5.5, deviation 1.5 + 3.5: (14 - 11) / 0.075.
  commodityChannelIndex(rows, 2, output);
  expectAllNear(output, {3, 2 / 0.045L, 4, 40});
  commodityChannelIndex(std::vector<long double>(rows.begin(), rows.begin() + 8), 2, output);
  EXPECT_TRUE(output.empty());
}

namespace {

// Month-end closes of 2001 to 2004 growing 1 % a month.
std::vector<long double> monthEndSeries() {
  std::vector<long double> rows;
  long double value = 100;
  for (int year = 2001; year <= 2004; ++year)
    for (int month = 1; month <= 12; ++month, value *= 1.01L) {
      double date = 0;
      encodeDate(year, month, daysInMonth(year, month), date);
      rows.push_back(date);
      rows.push_back(value);
    }
  return rows;
}

}  // namespace

TEST(Oscillators, CoppockCurveNeedsTwentyThreeMonthsOfHistory) {
  std::vector<long double> output;
  // Every month: 14- and 11-month changes of 1.01^14 - 1 and 1.01^11 - 1,
  // weighted 1 ... 10 (55 in all), times 10.
  long double expected = 550 * (std::pow(1.01L, 14) + std::pow(1.01L, 11) - 2);
  coppockCurve(monthEndSeries(), 3, output);
  ASSERT_EQ(output.size(), 2u * (48 - 23));
  for (long double value : recordColumn(output, 2, 1)) EXPECT_NEAR(double(value), double(expected), 1e-12);
  EXPECT_EQ(output[0], monthEndSeries()[2 * 23]);
  // Exactly: a month of 30 days moved back lands on the 30th of the longer
  // months, which hold no row; only the months of 31 days keep their value.
  coppockCurve(monthEndSeries(), 0, output);
  for (long double date : recordColumn(output, 2, 0)) {
    int year, month, day;
    decodeDate(double(date), year, month, day);
    EXPECT_EQ(day, 31);
  }
  EXPECT_EQ(output.size(), 2u * 15);  // 2002-12 and seven months in each of 2003 and 2004
  std::vector<long double> shortSeries = monthEndSeries();
  shortSeries.resize(2 * 23);
  coppockCurve(shortSeries, 3, output);
  EXPECT_TRUE(output.empty());
}

TEST(Oscillators, FindDateRowTakesTheFirstProbeWithinTolerance) {
  std::vector<long double> rows = series({0, 0, 0, 0, 0});  // dates 1 ... 5
  EXPECT_EQ(findDateRow(rows, 2, 0, 4, 0, 4), 3);
  EXPECT_EQ(findDateRow(rows, 2, 0, 4, 0, 4.5L), -1);
  EXPECT_EQ(findDateRow(rows, 2, 0, 4, 2, 4.5L), 2);  // the middle row is probed first
  EXPECT_EQ(findDateRow(rows, 2, 0, 4, 1, 0), 0);
  EXPECT_EQ(findDateRow(rows, 2, 0, 4, 1, 6), 4);
  EXPECT_EQ(findDateRow(rows, 2, 2, 4, 0.5L, 1), -1);
  EXPECT_EQ(findDateRow(rows, 2, 3, 2, 9, 3), -1);
  EXPECT_THROW(findDateRow(rows, 2, 0, 5, 0, 3), ERangeError);
}

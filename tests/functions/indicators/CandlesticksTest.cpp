#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/Candlesticks.h"
#include "platform/NumericErrors.h"

namespace {

struct TCandle {
  long double open, high, low, close;
};

// Candles of body 0.5 and shadows 0.25 whose closes step by 1 from 100.
std::vector<TCandle> trend(int rows, bool rising) {
  std::vector<TCandle> candles;
  for (int k = 0; k < rows; ++k) {
    long double close = rising ? 100 + k : 100 - k, open = rising ? close - 0.5L : close + 0.5L;
    candles.push_back({open, std::max(open, close) + 0.25L, std::min(open, close) - 0.25L, close});
  }
  return candles;
}

// (date, open, high, low, close) rows dated 1, 2, 3, ...
std::vector<long double> candleRows(std::vector<TCandle> candles, std::initializer_list<TCandle> more) {
  candles.insert(candles.end(), more);
  std::vector<long double> rows;
  long double date = 1;
  for (const TCandle& c : candles)
    for (long double value : {date++, c.open, c.high, c.low, c.close}) rows.push_back(value);
  return rows;
}

std::vector<long double> scan(const std::vector<long double>& rows, int trendLength) {
  std::vector<long double> output;
  candlestickPatterns(rows, trendLength, 0.1L, 0.7L, -0.001L, 0.001L, output);
  return output;
}

}  // namespace

TEST(Candlesticks, FirstMatchingPatternWins) {
  // After a rise: a long white candle, a black one above a gap, a black one.
  // That is also a gap in an uptrend (+770), but -980 comes first.
  std::vector<long double> rows = candleRows(
      trend(5, true), {{104, 107.5L, 103.9L, 107.4L}, {109, 109.2L, 108, 108.2L}, {108, 108.1L, 107, 107.2L}});
  std::vector<long double> output = scan(rows, 5);
  ASSERT_GE(output.size(), 2u);
  EXPECT_EQ(output[1], -980);
}

TEST(Candlesticks, RisingThreeMethodsAfterAFall) {
  // A long white candle, four small black ones drifting down, a white close
  // above the first: window mean body (5 * 0.5 + 3 + 4 * 0.2 + 2) / 11.
  std::vector<long double> rows = candleRows(
      trend(5, false), {{96, 99.1L, 95.9L, 99},      {98.9L, 99, 98.6L, 98.7L}, {98.8L, 98.9L, 98.5L, 98.6L},
                        {98.7L, 98.8L, 98.4L, 98.5L}, {98.6L, 98.7L, 98.3L, 98.4L}, {98.5L, 100.6L, 98.4L, 100.5L}});
  std::vector<long double> output = scan(rows, 5);
  ASSERT_GE(output.size(), 2u);
  EXPECT_EQ(output[0], 6);
  EXPECT_EQ(output[1], 1000);
}

TEST(Candlesticks, FewerRemainingRowsSkipTheLongerTests) {
  // After a rise: a long white candle, then a doji above a gap (-950)...
  std::vector<TCandle> pattern{{104, 107.5L, 103.9L, 107.4L}, {108.5L, 108.8L, 108.2L, 108.5L}};
  std::vector<long double> threeRows =
      candleRows(trend(5, true), {pattern[0], pattern[1], {108, 108.6L, 107.9L, 108.5L}});
  EXPECT_EQ(scan(threeRows, 5)[1], -950);
  // ...is only a gap in an uptrend (+770) when the doji is the last row but
  // one: two rows left start the list at the shaven engulfing tests.
  std::vector<long double> twoRows = candleRows(trend(5, true), {pattern[0], pattern[1]});
  EXPECT_EQ(scan(twoRows, 5), (std::vector<long double>{6, 770}));
}

TEST(Candlesticks, LastRowCanOnlyBeAHammerOrHangingMan) {
  // No upper shadow and a lower shadow of more than twice the body.
  TCandle hammer{95.2L, 95.4L, 94.5L, 95.4L};
  EXPECT_EQ(scan(candleRows(trend(5, false), {hammer}), 5), (std::vector<long double>{6, 600}));
  TCandle hangingMan{105.2L, 105.4L, 104.5L, 105.4L};
  EXPECT_EQ(scan(candleRows(trend(5, true), {hangingMan}), 5), (std::vector<long double>{6, -600}));
}

TEST(Candlesticks, WithoutTrendRowsOnlyTrendlessPatternsMatch) {
  // A trend of one row is no trend: a gap up reads +780, unless it starts at
  // the first row (no trend row before it) or at the last.
  std::vector<long double> rows = candleRows({}, {{8, 9, 7.5L, 8.5L}, {10.5L, 11, 10, 10.8L}, {12, 13, 11.5L, 12.5L}});
  EXPECT_EQ(scan(rows, 1), (std::vector<long double>{2, 780}));
  rows.resize(10);
  EXPECT_TRUE(scan(rows, 1).empty());
  EXPECT_TRUE(scan(rows, 2).empty());
  std::vector<long double> output;
  EXPECT_THROW(candlestickPatterns(rows, -1, 0.1L, 0.7L, -0.001L, 0.001L, output), ERangeError);
}

TEST(Candlesticks, AWindowWithoutBodiesFaults) {
  std::vector<long double> flat = candleRows({}, {{5, 5, 5, 5}, {5, 5, 5, 5}, {5, 5, 5, 5}});
  EXPECT_THROW(scan(flat, 1), EInvalidOp);
}

#include "functions/indicators/Candlesticks.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "functions/indicators/IndicatorSeries.h"
#include "functions/statistics/Statistics.h"
#include "platform/NumericErrors.h"

namespace {

// A body degree of at least 1 makes a long candle, at most a half a small one.
constexpr long double longDegree = 1;
constexpr long double smallDegree = 0.5L;

// The candles of one pattern start with the sizes of its window. Degrees are
// computed only when a test asks for them, so a test that fails earlier
// never meets a zero mean.
class TCandles {
 public:
  TCandles(const TSeriesRows& rows, long double lowThreshold, long double highThreshold)
      : rows_(rows), low_(lowThreshold), high_(highThreshold) {}

  void measureWindow(int first, int count) {
    long double bodies = 0, uppers = 0, lowers = 0;
    for (int r = first; r < first + count; ++r) {
      bodies += body(r);
      uppers += upperShadow(r);
      lowers += lowerShadow(r);
    }
    meanBody_ = bodies / count;
    meanUpperShadow_ = uppers / count;
    meanLowerShadow_ = lowers / count;
  }

  long double open(int r) const { return rows_.at(r, barOpen); }
  long double high(int r) const { return rows_.at(r, barHigh); }
  long double low(int r) const { return rows_.at(r, barLow); }
  long double close(int r) const { return rows_.at(r, barClose); }

  // An equal open and close counts as black.
  bool white(int r) const { return open(r) < close(r); }
  bool black(int r) const { return !white(r); }
  long double body(int r) const { return std::fabs(open(r) - close(r)); }
  long double mid(int r) const { return (open(r) + close(r)) / 2; }
  long double upperShadow(int r) const { return high(r) - std::max(open(r), close(r)); }
  long double lowerShadow(int r) const { return std::min(open(r), close(r)) - low(r); }

  long double bodyDegree(int r) const { return degree(body(r) / meanBody_); }
  long double upperShadowDegree(int r) const { return degree(upperShadow(r) / meanUpperShadow_); }
  long double lowerShadowDegree(int r) const { return degree(lowerShadow(r) / meanLowerShadow_); }
  bool isLong(int r) const { return bodyDegree(r) >= longDegree; }
  bool isSmall(int r) const { return bodyDegree(r) <= smallDegree; }
  bool shaven(int r) const { return lowerShadowDegree(r) <= 0 && upperShadowDegree(r) <= 0; }

  bool gapUp(int f) const { return low(f + 1) > high(f); }
  bool gapDown(int f) const { return high(f + 1) < low(f); }

 private:
  long double degree(long double ratio) const {
    if (ratio < low_) return 0;
    if (ratio > high_) return 1;
    return (ratio - low_) / (high_ - low_);
  }

  const TSeriesRows& rows_;
  long double low_, high_;
  long double meanBody_ = 0, meanUpperShadow_ = 0, meanLowerShadow_ = 0;
};

// A long candle, `smallCount` small ones of the opposite colour drifting
// against it (midpoints not above, or not below, the one before), then a
// candle of the first colour closing beyond the first close.
bool threeMethods(const TCandles& c, int f, int smallCount, bool rising) {
  if (!(rising ? c.white(f) : c.black(f)) || !c.isLong(f)) return false;
  for (int k = 1; k <= smallCount; ++k) {
    if (!(rising ? c.black(f + k) : c.white(f + k)) || !c.isSmall(f + k)) return false;
    if (k >= 2 && (rising ? c.mid(f + k) > c.mid(f + k - 1) : c.mid(f + k) < c.mid(f + k - 1))) return false;
  }
  int last = f + smallCount + 1;
  return rising ? c.white(last) && c.close(last) > c.close(f) : c.black(last) && c.close(last) < c.close(f);
}

bool engulfing(const TCandles& c, int f) {
  if (!c.isLong(f)) return false;
  if (c.black(f) && c.white(f + 1)) return c.close(f + 1) > c.open(f) && c.close(f) > c.open(f + 1);
  return c.white(f) && c.black(f + 1) && c.close(f) > c.open(f + 1) && c.close(f + 1) > c.open(f);
}

bool longLowerShadow(const TCandles& c, int f) {
  if (c.upperShadowDegree(f) > 0) return false;
  if (c.black(f)) return 2 * (c.open(f) - c.close(f)) <= c.close(f) - c.low(f);
  return 2 * (c.close(f) - c.open(f)) <= c.open(f) - c.low(f);
}

struct TPatternTest {
  int code;
  bool (*matches)(const TCandles& c, int f, long double trend);
};

// In the order they are tried.
const TPatternTest patternTests[] = {
    {+1000, [](const TCandles& c, int f, long double t) { return t < 0 && threeMethods(c, f, 4, true); }},
    {-1000, [](const TCandles& c, int f, long double t) { return t > 0 && threeMethods(c, f, 4, false); }},
    {+990, [](const TCandles& c, int f, long double t) { return t < 0 && threeMethods(c, f, 3, true); }},
    {-990, [](const TCandles& c, int f, long double t) { return t > 0 && threeMethods(c, f, 3, false); }},
    {+980,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.gapUp(f) && c.white(f + 1) && c.black(f + 2) && c.low(f + 2) > c.high(f);
     }},
    {-980,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.white(f) && c.isLong(f) && c.black(f + 1) && c.gapUp(f) && c.black(f + 2);
     }},
    {+970,
     [](const TCandles& c, int f, long double t) {
       return t < 0 && c.black(f) && c.isLong(f) && c.gapDown(f) && c.isSmall(f + 1) && c.open(f + 1) < c.close(f) &&
              c.white(f + 2) && c.isLong(f + 2) && c.close(f + 2) > c.mid(f);
     }},
    {-970,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.white(f) && c.isLong(f) && c.gapUp(f) && c.isSmall(f + 1) && c.open(f + 1) > c.close(f) &&
              c.black(f + 2) && c.isLong(f + 2) && c.close(f + 2) < c.mid(f);
     }},
    {-960,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.white(f) && c.isLong(f) && c.gapUp(f) && c.black(f + 1) && c.isSmall(f + 1) &&
              c.lowerShadowDegree(f + 1) <= 0 && c.upperShadowDegree(f + 1) >= 1;
     }},
    {-950,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.white(f) && c.isLong(f) && c.gapUp(f) && c.bodyDegree(f + 1) <= 0;
     }},
    {+800,
     [](const TCandles& c, int f, long double t) {
       return t < 0 && c.black(f) && c.shaven(f) && c.white(f + 1) && c.open(f) <= c.close(f + 1) &&
              c.open(f + 1) <= c.close(f) && c.shaven(f + 1);
     }},
    {-800,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.white(f) && c.shaven(f) && c.black(f + 1) && c.close(f) <= c.open(f + 1) &&
              c.close(f + 1) <= c.open(f) && c.shaven(f + 1);
     }},
    {+790, [](const TCandles& c, int f, long double t) { return t < 0 && engulfing(c, f); }},
    {-790, [](const TCandles& c, int f, long double t) { return t > 0 && engulfing(c, f); }},
    {+780, [](const TCandles& c, int f, long double t) { return t == 0 && c.gapUp(f); }},
    {-780, [](const TCandles& c, int f, long double t) { return t == 0 && c.gapDown(f); }},
    {+770, [](const TCandles& c, int f, long double t) { return t > 0 && c.gapUp(f); }},
    {-770, [](const TCandles& c, int f, long double t) { return t < 0 && c.gapDown(f); }},
    {+760,
     [](const TCandles& c, int f, long double) {
       return c.black(f) && c.isLong(f) && c.white(f + 1) && c.open(f + 1) < c.low(f) && c.close(f + 1) > c.mid(f);
     }},
    {-760,
     [](const TCandles& c, int f, long double t) {
       return t > 0 && c.white(f) && c.isLong(f) && c.black(f + 1) && c.open(f + 1) > c.high(f) &&
              c.close(f + 1) < c.mid(f);
     }},
    {+600, [](const TCandles& c, int f, long double t) { return t < 0 && longLowerShadow(c, f); }},
    {-600, [](const TCandles& c, int f, long double t) { return t > 0 && longLowerShadow(c, f); }},
};

struct TScanStage {
  int windowRows;
  int firstTest;
};

// Near the end of the series fewer rows remain, so the window is shorter and
// the scan starts further down the list.
TScanStage stageFor(int remainingRows) {
  if (remainingRows >= 6) return {6, 0};
  if (remainingRows == 5) return {5, 2};
  if (remainingRows >= 3) return {3, 4};
  if (remainingRows == 2) return {2, 10};
  return {1, 20};
}

// The slope of the closes before row f against 1 ... n, with the dead band
// taken as no trend.
long double trendBefore(const TCandles& candles, int f, int32_t trendLength, long double deadBandLower,
                        long double deadBandUpper, std::vector<long double>& positions,
                        std::vector<long double>& closes) {
  if (trendLength < 2) return 0;
  for (int k = 0; k < trendLength; ++k) closes[k] = candles.close(f - trendLength + k);
  long double trend = slope(positions, closes);
  return trend > deadBandLower && trend < deadBandUpper ? 0 : trend;
}

}  // namespace

void candlestickPatterns(std::vector<long double> values, int32_t trendLength, long double lowThreshold,
                         long double highThreshold, long double deadBandLower, long double deadBandUpper,
                         std::vector<long double>& output) {
  TIndicatorOutput out(output);
  // A negative length would read before the first row.
  if (trendLength < 0) throw ERangeError();
  TSeriesRows rows(values, barWidth);
  if (rows.count() - trendLength < 1) return;
  TCandles candles(rows, lowThreshold, highThreshold);
  std::vector<long double> positions, closes;
  for (int k = 1; k <= trendLength && trendLength >= 2; ++k) positions.push_back(k);
  closes.resize(positions.size());
  for (int f = trendLength; f < rows.count(); ++f) {
    TScanStage stage = stageFor(rows.count() - f);
    candles.measureWindow(f - trendLength, trendLength + stage.windowRows);
    long double trend = trendBefore(candles, f, trendLength, deadBandLower, deadBandUpper, positions, closes);
    for (int test = stage.firstTest; test < static_cast<int>(std::size(patternTests)); ++test)
      if (patternTests[test].matches(candles, f, trend)) {
        out.write(rows.date(f), patternTests[test].code);
        break;
      }
    // A fault in a test that did not match is as much a fault as one behind a record.
    out.raisePending();
  }
}

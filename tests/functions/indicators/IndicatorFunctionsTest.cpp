#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/Bands.h"
#include "functions/indicators/Candlesticks.h"
#include "functions/indicators/DirectionalMovement.h"
#include "functions/indicators/Oscillators.h"
#include "functions/indicators/ParabolicSar.h"
#include "functions/indicators/VolumeIndicators.h"
#include "sheet/Sheet.h"
#include "tests/sheet/SheetTestSupport.h"

// The indicator built-ins through formulas over the fixture table, laid out
// in four blocks because a range is contiguous: A:F date, open, high, low,
// close, volume; H:L date, high, low, close, volume; N:P date, close,
// volume; R:U date, high, low, volume.

namespace {

struct TFormulaResult {
  std::string error;  // empty on success
  int rows = 0, columns = 0;
  std::vector<double> values;
  double at(int row, int column) const { return values[static_cast<std::size_t>(row) * columns + column]; }
};

// Evaluates without placing the array anywhere, so the fixture stays.
TFormulaResult evaluateArray(TSheet& sheet, const std::string& formula) {
  TFormulaResult result;
  TRPNstackObject list(sheet.tokenFactory);
  std::uint8_t status = 0;
  sheet.compileFormula(formula, list, status);
  if (status == 0) status = sheet.evaluateTokenList(list, 200, 1, false);
  if (status != 0) {
    result.error = cellStateText(status);
    return result;
  }
  const TArray* array = list.getItem(0)->subArray();
  if (!array) return result;
  result.rows = array->dimensions()[0];
  result.columns = array->dimensions()[1];
  for (const TValueRecord& element : array->elements()) result.values.push_back(element.number);
  return result;
}

std::string exact(long double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", static_cast<double>(value));
  return text;
}

// The fixture as the cells hold it: every value rounded to a double.
std::vector<TBar> cellBars() {
  std::vector<TBar> bars = fixtureBars();
  for (TBar& bar : bars) {
    for (TBarField field : {&TBar::open, &TBar::high, &TBar::low, &TBar::close, &TBar::volume}) {
      bar.*field = static_cast<double>(bar.*field);
    }
  }
  return bars;
}

void fillBlock(TSheet& sheet, int firstColumn, std::initializer_list<TBarField> fields) {
  int row = 1;
  for (const TBar& bar : fixtureBars()) {
    int column = firstColumn;
    enter(sheet, column++, row, exact(bar.date));
    for (TBarField field : fields) enter(sheet, column++, row, exact(bar.*field));
    ++row;
  }
}

class IndicatorFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    fillBlock(sheet, 1, {&TBar::open, &TBar::high, &TBar::low, &TBar::close, &TBar::volume});
    fillBlock(sheet, 8, {&TBar::high, &TBar::low, &TBar::close, &TBar::volume});
    fillBlock(sheet, 14, {&TBar::close, &TBar::volume});
    fillBlock(sheet, 18, {&TBar::high, &TBar::low, &TBar::volume});
  }

  // Compares a formula's rows with records of the same width.
  void expectRecords(const std::string& formula, const std::vector<long double>& records, int width) {
    SCOPED_TRACE(formula);
    TFormulaResult result = evaluateArray(sheet, formula);
    ASSERT_EQ(result.error, "");
    ASSERT_EQ(result.columns, width);
    ASSERT_EQ(result.values.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_NEAR(result.values[i], static_cast<double>(records[i]), 1e-13 * std::fabs(records[i]) + 1e-300)
          << "at " << i;
    }
  }

  TSheet sheet;
  const std::vector<TBar> bars = cellBars();
};

}  // namespace

// Reference values from the window formulas themselves, summed afresh for
// every window (the routines keep running sums and extremes).
TEST_F(IndicatorFunctions, WindowIndicatorsFollowTheirWindowFormulas) {
  const int n = 5;
  std::vector<long double> average, bands, typical, ranges, averageRanges, williams;
  auto trueRangeAt = [&](std::size_t t) {
    return std::max(bars[t].high, bars[t - 1].close) - std::min(bars[t].low, bars[t - 1].close);
  };
  for (std::size_t t = 0; t < bars.size(); ++t) {
    typical.insert(typical.end(), {bars[t].date, (bars[t].high + bars[t].low + bars[t].close) / 3});
    if (t >= 1) ranges.insert(ranges.end(), {bars[t].date, trueRangeAt(t)});
    if (t + 1 < static_cast<std::size_t>(n)) continue;
    long double sum = 0, squares = 0, highest = bars[t].high, lowest = bars[t].low;
    for (std::size_t k = t + 1 - n; k <= t; ++k) {
      sum += bars[k].close;
      highest = std::max(highest, bars[k].high);
      lowest = std::min(lowest, bars[k].low);
    }
    long double mean = sum / n;
    for (std::size_t k = t + 1 - n; k <= t; ++k) squares += (bars[k].close - mean) * (bars[k].close - mean);
    long double width = 2 * std::sqrt(squares / n);
    average.insert(average.end(), {bars[t].date, mean});
    bands.insert(bands.end(), {bars[t].date, mean - width, mean, mean + width});
    williams.insert(williams.end(), {bars[t].date, (bars[t].close - highest) * 100 / (highest - lowest)});
    if (t >= static_cast<std::size_t>(n)) {
      long double rangeSum = 0;
      for (std::size_t k = t + 1 - n; k <= t; ++k) rangeSum += trueRangeAt(k);
      averageRanges.insert(averageRanges.end(), {bars[t].date, rangeSum / n});
    }
  }
  expectRecords("=MA(N1:O24,5)", average, 2);
  expectRecords("=BOL(N1:O24,5,2)", bands, 4);
  expectRecords("=TP(H1:K24)", typical, 2);
  expectRecords("=TR(H1:K24)", ranges, 2);
  expectRecords("=ATR(H1:K24,5)", averageRanges, 2);
  expectRecords("=WRO(H1:K24,5)", williams, 2);
}

// Each member against its routine called with the arguments mapped by hand:
// swapped or dropped parameters show up as different records.
TEST_F(IndicatorFunctions, ArgumentsReachTheirRoutinesInTheRightPlaces) {
  auto rows = [&](std::initializer_list<TBarField> fields) { return flatRows(bars, fields); };
  const auto closes = rows({&TBar::close});
  const auto highLowClose = rows({&TBar::high, &TBar::low, &TBar::close});
  const auto highLow = rows({&TBar::high, &TBar::low});
  const auto candles = rows({&TBar::open, &TBar::high, &TBar::low, &TBar::close});
  struct TCase {
    const char* formula;
    int width;
    std::function<void(std::vector<long double>&)> routine;
  };
  const TCase cases[] = {
      {"=BOL(N1:O24)", 4, [&](auto& out) { bollingerBands(closes, 20, 2, out); }},
      {"=KB(H1:K24,3,2,1.5,100)", 4, [&](auto& out) { keltnerBands(highLowClose, 3, 2, 100, 1.5L, out); }},
      {"=MI(H1:J24,5,3,1,2)", 2, [&](auto& out) { massIndex(highLow, 5, 3, 1, 2, out); }},
      {"=MACD(N1:O24,5,3,2,1,2,3)", 3, [&](auto& out) { macd(closes, 5, 3, 2, 1, 2, 3, out); }},
      {"=ZZI(N1:O24,0.01,1)", 2, [&](auto& out) { zigZag(closes, true, 0.01L, out); }},
      {"=ZZI(N1:O24,0.01)", 2, [&](auto& out) { zigZag(closes, false, 0.01L, out); }},
      {"=SAR(H1:J24,0.03)", 2, [&](auto& out) { parabolicSAR(highLow, 0.03L, 0.2L, out); }},
      {"=ASI(A1:E24,500,7)", 2, [&](auto& out) { accumulationSwingIndex(candles, 500, 7, out); }},
      {"=STO(H1:K24,3,2,4)", 4, [&](auto& out) { stochastic(highLowClose, 3, 2, 4, out); }},
      {"=CSP(A1:E24,2)", 2, [&](auto& out) { candlestickPatterns(candles, 2, 0.1, 0.7, -0.001, 0.001, out); }},
      // The directional lines start on the first row, holding their seed.
      {"=DIM(H1:K24,5,0.25)", 2, [&](auto& out) { minusDirectionalIndicator(highLowClose, 5, 0, 0.25L, out); }},
  };
  for (const TCase& c : cases) {
    std::vector<long double> expected;
    c.routine(expected);
    expectRecords(c.formula, expected, c.width);
  }
}

// Closes rising 0.0005 a day lie inside the default dead band, so a gap up
// reads as made without a trend (+780); with the bounds given the other way
// round there is no band and the same gap continues an uptrend (+770).
TEST(IndicatorFunctionsCandles, DefaultDeadBandTakesASlowDriftForNoTrend) {
  TSheet sheet;
  const double candles[7][4] = {
      {99.5, 100.2, 99.3, 100},         {99.5005, 100.2005, 99.3005, 100.0005}, {99.501, 100.201, 99.301, 100.001},
      {99.5015, 100.2015, 99.3015, 100.0015}, {99.502, 100.202, 99.302, 100.002}, {100, 100.7, 99.8, 100.5},
      {101, 103, 100.9, 101.5}};
  for (int r = 0; r < 7; ++r) {
    enter(sheet, 1, r + 1, std::to_string(r + 1));
    for (int c = 0; c < 4; ++c) enter(sheet, c + 2, r + 1, exact(candles[r][c]));
  }
  TFormulaResult flat = evaluateArray(sheet, "=CSP(A1:E7)");
  ASSERT_EQ(flat.rows, 1);
  EXPECT_EQ(flat.at(0, 0), 6);
  EXPECT_EQ(flat.at(0, 1), 780);
  TFormulaResult rising = evaluateArray(sheet, "=CSP(A1:E7,5,0.1,0.7,-0.001,0.001)");
  ASSERT_EQ(rising.rows, 1);
  EXPECT_EQ(rising.at(0, 1), 770);
}

TEST_F(IndicatorFunctions, WrongShapesCountsAndParametersShowValueErrors) {
  for (const char* formula : {
           "=MA(N1:P24,5)", "=MA(N1:O24)", "=MA(N1:O24,0)", "=MA(N1:O24,25)", "=MA(5,2)", "=MA({1,2,3,4},2)",
           "=EMA(N1:O24)", "=EMA(N1:O24,0)", "=TRIX(N1:O24)", "=TSI(N1:O1,2,2)", "=BA(N1:O1,N1:O24)",
           "=BA(N1:P24,N1:P24)", "=STO(H1:K24,3,3)", "=STO(H1:K24,3,3,3,3)", "=MFI(H1:L24)", "=TR(H1:K24,1)",
           "=TP(H1:K1)", "=DM(H1:J1)", "=SAR(H1:K24)", "=ADX(H1:K24,0)", "=RS(N1:O24,N1:O24,0)",
           "=MA(N1:O24,\"x\")", "=ZZI(N1:O24,0.1,1,1)", "=ADXR(H1:K24,13)",
       }) {
    EXPECT_EQ(evaluateArray(sheet, formula).error, "#VALUE!") << formula;
  }
  // Faults of an unguarded routine keep their own error: a flat row has no
  // true range to divide by.
  EXPECT_EQ(evaluateArray(sheet, "=DI({{1,5,5,5},{2,5,5,5}})").error, "#NUM!");
}

TEST(IndicatorFunctionsSeries, TextAndEmptyCellsCountAsZeroAndArraysMayComeFromFormulas) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "2");
  enter(sheet, 1, 2, "2");
  enter(sheet, 2, 2, "abc", 2);
  enter(sheet, 1, 3, "3");
  TFormulaResult result = evaluateArray(sheet, "=MA(A1:B3,1)");
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.values, (std::vector<double>{1, 2, 2, 0, 3, 0}));
  // A range is read straight from its cells, still recorded as read.
  enter(sheet, 4, 1, "=MA(A1:B3,3)");
  sheet.recalculateAll(true);
  EXPECT_EQ(shown(sheet, 4, 1), "3");
  enter(sheet, 1, 3, "7");
  EXPECT_EQ(shown(sheet, 4, 1), "7");
  EXPECT_EQ(evaluateArray(sheet, "=MA(A1,1)").error, "#VALUE!");
  // A series made by another function is read without a copy of its own.
  result = evaluateArray(sheet, "=MA(EMA({{1,4},{2,8},{3,2},{4,6}},3),2)");
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.values, (std::vector<double>{2, 3.5, 3, 4.25, 4, 4.125}));
}

// Beta regressions; the expected fits are exact over the few returns each
// pairing leaves.
TEST(IndicatorFunctionsBeta, PairsReturnsOnConsecutiveCommonDates) {
  TSheet sheet;
  auto expectFit = [&](const std::string& formula, double slope, double intercept) {
    std::vector<double> values = evaluateArray(sheet, formula).values;
    ASSERT_EQ(values.size(), 2u) << formula;
    EXPECT_NEAR(values[0], slope, 1e-12) << formula;
    EXPECT_NEAR(values[1], intercept, 1e-12) << formula;
  };
  const std::string same = "{{1,1},{2,2},{3,4},{4,3},{5,5}}";
  expectFit("=BA(" + same + "," + same + ")", 1, 0);
  // B lacks date 4: the pairs (1,2) and (2,3) are found, nothing after.
  expectFit("=BA({{1,1},{2,2},{3,3},{4,9},{5,1}},{{1,10},{2,30},{3,45},{5,7},{6,8}})", 3, -1);
  // All on one date: B's single pair serves each of A's four, which a
  // buffer sized by the shorter series could not hold.
  const std::string repeated = "{{1,1},{1,2},{1,3},{1,6},{1,12}}";
  expectFit("=BA(" + repeated + ",{{1,4},{1,5}})", 0, 0.25);
  expectFit("=BA(" + repeated + ",{{1,4},{1,5}},0.1)", 0, 0.15);
  EXPECT_EQ(evaluateArray(sheet, "=BA({{1,1},{2,2},{3,3}},{{1,1},{2,2},{4,4}})").error, "#VALUE!");
  // A zero price drops its pair instead of failing the call.
  expectFit("=BA({{1,1},{2,2},{3,0},{4,1},{5,3}},{{1,1},{2,3},{3,-3},{4,1},{5,5}})", 2, 0);
}

TEST_F(IndicatorFunctions, EveryMemberAnswersWithItsRecordWidth) {
  // The width 0 marks the Coppock curve, for which a month of days is too
  // short a history.
  const std::pair<const char*, int> calls[] = {
      {"ACD(H1:L24)", 2}, {"ADX(H1:K24,5)", 2}, {"ADXR(H1:K24,5)", 2}, {"ARD(N1:O24,5)", 2}, {"ARO(N1:O24,5)", 2},
      {"ARU(N1:O24,5)", 2}, {"ASI(A1:E24)", 2}, {"ATR(H1:K24)", 2}, {"BA(N1:O24,N1:O24)", 2}, {"BOL(N1:O24)", 4},
      {"CBI(N1:O24)", 0}, {"CCI(H1:K24)", 2}, {"CSP(A1:E24)", 2}, {"DI(H1:K24)", 2}, {"DIM(H1:K24)", 2},
      {"DIP(H1:K24)", 2}, {"DM(H1:J24)", 2}, {"DPO(N1:O24,5)", 2}, {"EFI(N1:P24)", 2}, {"EMA(N1:O24,5)", 2},
      {"EOM(R1:U24)", 2}, {"KB(H1:K24)", 4}, {"MA(N1:O24,5)", 2}, {"MACD(N1:O24)", 3}, {"MFI(H1:L24,5)", 2},
      {"MFM(H1:L24,5)", 2}, {"MFP(H1:L24,5)", 2}, {"MI(H1:J24,5)", 2}, {"MO(N1:O24,5)", 2}, {"NVI(N1:P24)", 2},
      {"OBV(N1:P24)", 2}, {"PVI(N1:P24)", 2}, {"PVT(N1:P24)", 2}, {"ROC(N1:O24,5)", 2}, {"RS(N1:O24,N1:O24,5)", 2},
      {"RSI(N1:O24,5)", 2}, {"SAR(H1:J24)", 2}, {"SI(A1:E24)", 2}, {"STO(H1:K24,5,3,3)", 4}, {"TP(H1:K24)", 2},
      {"TR(H1:K24)", 2}, {"TRIX(N1:O24,3)", 2}, {"TSI(N1:O24,3,3)", 2}, {"UDR(N1:P24,5)", 2}, {"VHF(N1:O24,5)", 2},
      {"VOI(H1:J24)", 2}, {"WAD(H1:K24)", 2}, {"WRO(H1:K24,5)", 2}, {"ZZI(N1:O24)", 2},
  };
  ASSERT_EQ(std::size(calls), 49u);
  for (const auto& [call, width] : calls) {
    TFormulaResult result = evaluateArray(sheet, std::string("=") + call);
    EXPECT_EQ(result.error, width ? "" : "#VALUE!") << call;
    EXPECT_EQ(result.columns, width) << call;
  }
}

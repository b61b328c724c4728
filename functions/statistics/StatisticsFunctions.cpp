#include "functions/statistics/StatisticsFunctions.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "functions/ArrayStorage.h"
#include "functions/statistics/Regression.h"
#include "functions/SeriesGathering.h"
#include "functions/statistics/StatisticalTests.h"
#include "functions/statistics/Statistics.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

namespace {

using TSeries = std::vector<long double>;

// The double nearest to 1E-10, as the sheet has always passed it.
constexpr long double testTolerance = 1e-10;
constexpr int testIterationLimit = 10000;
constexpr std::int32_t defaultRankDigits = 3;

// One argument gathered as a series.
TSeries seriesArgument(TEvalContext& c, int i) {
  TSeries series;
  collectNumberArgs(c, i, i, series);
  return series;
}

// The kernels count in 32 bits.
int lengthOf(const TSeries& series) {
  if (series.size() > static_cast<std::size_t>(INT_MAX)) throw ERangeError();
  return static_cast<int>(series.size());
}

// ---- Statistics over all arguments ----

template <typename TStatistic>
void evalOverArguments(TEvalContext& c, TStatistic statistic) {
  if (c.argumentCount() < 1) return;
  TSeries series;
  collectNumberArgs(c, 0, c.argumentCount() - 1, series);
  c.setNumberResult(statistic(series));
}

void evalAVEDEV(TEvalContext& c) { evalOverArguments(c, averageDeviation); }
void evalAVERAGE(TEvalContext& c) {
  evalOverArguments(c, [](const TSeries& series) { return arithmeticMean(series, lengthOf(series)); });
}
void evalDEVSQ(TEvalContext& c) { evalOverArguments(c, devSq); }
void evalGEOMEAN(TEvalContext& c) { evalOverArguments(c, geometricMean); }
void evalHARMEAN(TEvalContext& c) { evalOverArguments(c, harmonicMean); }
void evalKURT(TEvalContext& c) { evalOverArguments(c, kurtosis); }
void evalMAX(TEvalContext& c) { evalOverArguments(c, maxValue); }
void evalMEDIAN(TEvalContext& c) { evalOverArguments(c, medianBySelection); }
void evalMIN(TEvalContext& c) { evalOverArguments(c, minValue); }
void evalMODE(TEvalContext& c) { evalOverArguments(c, modeValue); }
void evalSKEW(TEvalContext& c) { evalOverArguments(c, skewness); }
void evalSTDEV(TEvalContext& c) { evalOverArguments(c, stdevSample); }
void evalSTDEVP(TEvalContext& c) { evalOverArguments(c, stdevPopulation); }
void evalVAR(TEvalContext& c) { evalOverArguments(c, varSample); }
void evalVARP(TEvalContext& c) { evalOverArguments(c, varPopulation); }

// ---- Counts ----

// COUNT counts what converts to a number, COUNTA anything but an empty value:
// a whole argument once, an array element by element.
void evalCounting(TEvalContext& c, bool anyValue) {
  std::int32_t count = 0;
  for (int i = c.argumentCount() - 1; i >= 0; --i) {
    double number = 0.0;
    std::string text;
    if (anyValue ? c.stringArgument(i, text) : c.numberArgument(i, number)) {
      ++count;
      continue;
    }
    TArgumentArray array;
    if (!c.arrayArgument(i, array) || !array) continue;
    for (const TValueRecord& element : array->elements()) {
      bool counts = anyValue ? element.kind >= valueInteger && element.kind <= valueString
                             : elementNumber(c.sheet, element, number);
      if (counts) ++count;
    }
  }
  c.setIntegerResult(count);
}

void evalCOUNT(TEvalContext& c) { evalCounting(c, false); }
void evalCOUNTA(TEvalContext& c) { evalCounting(c, true); }

void evalCOUNTBLANK(TEvalContext& c) {
  TArgumentArray array;
  if (c.argumentCount() != 1 || !c.arrayArgument(0, array) || !array) return;
  std::int32_t count = 0;
  for (const TValueRecord& element : array->elements()) {
    if (element.kind == valueEmpty || (element.kind == valueString && element.string.empty())) ++count;
  }
  c.setIntegerResult(count);
}

// ---- Tests of tables ----

void evalCHI2(TEvalContext& c) {
  TArgumentArray observed, expected;
  if (c.argumentCount() != 2 || !c.arrayArgument(0, observed) || !observed || !c.arrayArgument(1, expected) ||
      !expected || observed->dimensions() != expected->dimensions()) {
    return;
  }
  TSeries observedValues, expectedValues;
  appendArrayNumbers(c.sheet, *observed, observedValues, true);
  appendArrayNumbers(c.sheet, *expected, expectedValues, true);
  c.setNumberResult(chiSquare(observedValues, expectedValues));
}

void evalCHITEST(TEvalContext& c) {
  TArgumentArray actual, expected;
  if (c.argumentCount() != 2 || !c.arrayArgument(0, actual) || !actual || actual->dimensionCount() != 2 ||
      !c.arrayArgument(1, expected) || !expected || actual->elementCount() != expected->elementCount()) {
    return;
  }
  TSeries actualValues, expectedValues;
  appendArrayNumbers(c.sheet, *actual, actualValues, false);
  appendArrayNumbers(c.sheet, *expected, expectedValues, false);
  int degrees = chiTestDegrees(actual->dimensions()[0], actual->dimensions()[1]);
  c.setNumberResult(chiTest(actualValues, expectedValues, degrees, testIterationLimit));
}

// ---- Two series ----

// The series of arguments first and first + 1; false, with the call failed
// by mismatch, when their lengths differ.
bool seriesPair(TEvalContext& c, int first, TSeries& a, TSeries& b, std::uint8_t mismatch) {
  a = seriesArgument(c, first);
  b = seriesArgument(c, first + 1);
  if (a.size() == b.size()) return true;
  c.fail(mismatch);
  return false;
}

// COVAR and CORREL: a non-zero option takes the sample forms.
template <typename TPopulation, typename TSample>
void evalPairWithOption(TEvalContext& c, TPopulation population, TSample sample) {
  const int count = c.argumentCount();
  TSeries a, b;
  std::int32_t option = 0;
  if (count < 2 || count > 3 || (count == 3 && !c.integerArgument(2, option)) || !seriesPair(c, 0, a, b, errValue)) {
    return;
  }
  c.setNumberResult(option != 0 ? sample(a, b) : population(a, b));
}

void evalCOVAR(TEvalContext& c) { evalPairWithOption(c, covarPopulation, covarSample); }
void evalCORREL(TEvalContext& c) { evalPairWithOption(c, correlPopulation, correlSample); }

void evalPEARSON(TEvalContext& c) {
  TSeries a, b;
  if (c.argumentCount() != 2 || !seriesPair(c, 0, a, b, errValue)) return;
  c.setNumberResult(pearson(a, b));
}

void evalRSQ(TEvalContext& c) {
  TSeries y, x;
  if (c.argumentCount() != 2 || !seriesPair(c, 0, y, x, errValue)) return;
  c.setNumberResult(rSquared(y, x));
}

// SLOPE, INTERCEPT and STEYX take (known y, known x); their kernels (x, y).
template <typename TFit>
void evalLineFit(TEvalContext& c, TFit fit) {
  TSeries y, x;
  if (c.argumentCount() != 2 || !seriesPair(c, 0, y, x, errNA)) return;
  c.setNumberResult(fit(x, y));
}

void evalSLOPE(TEvalContext& c) { evalLineFit(c, slope); }
void evalINTERCEPT(TEvalContext& c) { evalLineFit(c, intercept); }
void evalSTEYX(TEvalContext& c) { evalLineFit(c, standardErrorYX); }

void evalFORECAST(TEvalContext& c) {
  double at = 0.0;
  TSeries y, x;
  if (c.argumentCount() != 3 || !c.numberArgument(0, at) || !seriesPair(c, 1, y, x, errNA)) return;
  c.setNumberResult(forecast(x, y, at));
}

void evalFTEST(TEvalContext& c) {
  if (c.argumentCount() != 2) return;
  TSeries a = seriesArgument(c, 0);
  TSeries b = seriesArgument(c, 1);
  c.setNumberResult(fTest(a, b, testTolerance));
}

void evalTTEST(TEvalContext& c) {
  std::int32_t tails = 0, type = 0;
  if (c.argumentCount() != 4 || !c.integerArgument(2, tails) || !c.integerArgument(3, type)) return;
  TSeries a = seriesArgument(c, 0);
  TSeries b = seriesArgument(c, 1);
  c.setNumberResult(tTest(a, b, tails, type, testTolerance));
}

void evalZTEST(TEvalContext& c) {
  const int count = c.argumentCount();
  double mean = 0.0, sigma = 0.0;
  if (count < 2 || count > 3 || !c.numberArgument(1, mean) || (count == 3 && !c.numberArgument(2, sigma))) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(count == 3 ? zTestKnownSigma(values, mean, sigma, testIterationLimit)
                               : zTestSampleSigma(values, mean, testIterationLimit));
}

void evalPROB(TEvalContext& c) {
  const int count = c.argumentCount();
  double lower = 0.0, upper = 0.0;
  if (count < 3 || count > 4 || !c.numberArgument(2, lower)) return;
  if (count == 3) {
    upper = lower;
  } else if (!c.numberArgument(3, upper)) {
    return;
  }
  TSeries values, probabilities;
  if (!seriesPair(c, 0, values, probabilities, errNA)) return;
  c.setNumberResult(rangeProbability(values, probabilities, lower, upper));
}

// ---- Order statistics ----

void evalLARGE(TEvalContext& c) {
  std::int32_t k = 0;
  if (c.argumentCount() != 2 || !c.integerArgument(1, k)) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(kthLargest(values, k));
}

void evalSMALL(TEvalContext& c) {
  std::int32_t k = 0;
  if (c.argumentCount() != 2 || !c.integerArgument(1, k)) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(kthSmallest(values, k));
}

void evalPERCENTILE(TEvalContext& c) {
  double p = 0.0;
  if (c.argumentCount() != 2 || !c.numberArgument(1, p)) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(percentile(values, p));
}

void evalQUARTILE(TEvalContext& c) {
  std::int32_t quart = 0;
  if (c.argumentCount() != 2 || !c.integerArgument(1, quart)) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(quartile(values, quart));
}

void evalPERCENTRANK(TEvalContext& c) {
  const int count = c.argumentCount();
  double x = 0.0;
  std::int32_t digits = defaultRankDigits;
  if (count < 2 || count > 3 || !c.numberArgument(1, x) || (count == 3 && !c.integerArgument(2, digits))) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(percentRank(values, digits, x));
}

void evalRANK(TEvalContext& c) {
  const int count = c.argumentCount();
  double x = 0.0;
  std::int32_t order = 0;
  if (count < 2 || count > 3 || !c.numberArgument(0, x) || (count == 3 && !c.integerArgument(2, order))) return;
  TSeries values = seriesArgument(c, 1);
  c.setIntegerResult(rankOf(values, order, x));
}

void evalTRIMMEAN(TEvalContext& c) {
  double share = 0.0;
  if (c.argumentCount() != 2 || !c.numberArgument(1, share)) return;
  TSeries values = seriesArgument(c, 0);
  c.setNumberResult(trimmedMean(values, share));
}

void evalFREQUENCY(TEvalContext& c) {
  if (c.argumentCount() != 2) return;
  TSeries data = seriesArgument(c, 0);
  TSeries bins = seriesArgument(c, 1);
  TSeries counts;
  frequency(data, bins, counts);
  auto result = std::make_unique<TArray>();
  storeVectorInArray(counts, 1, lengthOf(counts), *result, true);
  c.setArrayResult(std::move(result));
}

// ---- Least-squares fits ----

// A two-dimensional array argument (with at least one element when
// nonEmpty); empty when the argument is anything else.
TArgumentArray tableArgument(TEvalContext& c, int i, bool nonEmpty) {
  TArgumentArray array;
  if (!c.arrayArgument(i, array) || !array || array->dimensionCount() != 2 ||
      (nonEmpty && array->elementCount() == 0)) {
    return TArgumentArray();
  }
  return array;
}

// A series with its array's shape.
struct TShapedSeries {
  TSeries values;
  int rows = 0;
  int columns = 0;
};

TShapedSeries shapedNumbers(const TSheet& sheet, const TArray& array) {
  TShapedSeries series;
  appendArrayNumbers(sheet, array, series.values, false);
  series.rows = array.dimensions()[0];
  series.columns = array.dimensions()[1];
  return series;
}

// The regressor 1, 2, ... n standing in for known x, shaped like known y.
TShapedSeries countingRegressor(const TShapedSeries& y) {
  TShapedSeries x;
  x.values.resize(y.values.size());
  for (std::size_t i = 0; i < x.values.size(); ++i) x.values[i] = static_cast<long double>(i + 1);
  x.rows = y.rows;
  x.columns = y.columns;
  return x;
}

// The number of regressors: a column of y takes the columns of x as
// variables, a row of y the rows of x, any other shape one variable.
std::int64_t regressorCount(const TShapedSeries& y, const TShapedSeries& x) {
  if (y.columns == 1) return x.columns;
  if (y.rows == 1) return x.rows;
  return 1;
}

// LINEST (selector 0) and LOGEST (1): known y [, known x [, constant [,
// statistics]]]. The result has k + 1 columns: the coefficients from the
// last variable's down to the constant, and with statistics four more rows
// (standard errors; R^2 and the standard error of y; F and the degrees of
// freedom; the regression and residual sums of squares).
void evalLINEST_LOGEST(TEvalContext& c, int selector) {
  const int count = c.argumentCount();
  if (count < 1 || count > 4) return;
  TArgumentArray knownY = tableArgument(c, 0, false);
  if (!knownY) return;
  TShapedSeries y = shapedNumbers(c.sheet, *knownY);
  TArgumentArray knownX = count >= 2 ? tableArgument(c, 1, false) : TArgumentArray();
  if (count == 2 && !knownX) return;
  TShapedSeries x = knownX ? shapedNumbers(c.sheet, *knownX) : countingRegressor(y);

  bool withConstant = true, withStatistics = false;
  std::int32_t flag = 0;
  if (count == 3) {
    if (!c.integerArgument(2, flag)) return;
    withConstant = flag != 0;
  } else if (count == 4) {
    if (c.integerArgument(2, flag)) withConstant = flag != 0;
    if (!c.integerArgument(3, flag)) return;
    withStatistics = flag != 0;
  }

  const std::int64_t k = regressorCount(y, x);
  if (static_cast<std::int64_t>(y.values.size()) * k != static_cast<std::int64_t>(x.values.size())) return;
  TSeries fit;
  if (selector == 0) {
    linearRegression(x.values, y.values, x.columns, fit, withStatistics, withConstant, y.rows, y.columns, x.rows);
  } else {
    exponentialRegression(x.values, y.values, x.columns, fit, withStatistics, withConstant, y.rows, y.columns, x.rows);
  }

  const int columns = static_cast<int>(k + 1);
  const int rows = withStatistics ? 5 : 1;
  TSeries layout(static_cast<std::size_t>(rows) * columns, 0.0L);
  std::vector<bool> filled(layout.size(), false);
  auto place = [&](int row, int column, long double value) {
    layout[static_cast<std::size_t>(row) * columns + column] = value;
    filled[static_cast<std::size_t>(row) * columns + column] = true;
  };
  for (int column = 0; column < columns; ++column) place(0, column, fit[column]);
  if (withStatistics) {
    // Without a constant there is no standard error of it to show.
    for (int column = 0; column < columns; ++column) {
      if (withConstant || column < columns - 1) place(1, column, fit[columns + column]);
    }
    for (int row = 2; row < rows; ++row) {
      const std::size_t pair = 2 * static_cast<std::size_t>(columns) + 2 * (row - 2);
      place(row, 0, fit[pair]);
      place(row, 1, fit[pair + 1]);
    }
  }
  auto result = std::make_unique<TArray>();
  storeVectorInArray(layout, columns, rows, *result, true);
  for (std::size_t i = 0; i < filled.size(); ++i) {
    if (!filled[i]) result->elements()[i].clear();
  }
  c.setArrayResult(std::move(result));
}

void evalLINEST(TEvalContext& c) { evalLINEST_LOGEST(c, 0); }
void evalLOGEST(TEvalContext& c) { evalLINEST_LOGEST(c, 1); }

// TREND (selector 0) and GROWTH (1): known y [, known x [, new x [,
// constant]]]; one fitted value per new observation, in a column.
void evalGROWTH_TREND(TEvalContext& c, int selector) {
  const int count = c.argumentCount();
  if (count < 1 || count > 4) return;
  TArgumentArray knownY = tableArgument(c, 0, true);
  if (!knownY) return;
  TShapedSeries y = shapedNumbers(c.sheet, *knownY);

  // Known x is required with two arguments, new x with three; otherwise an
  // argument that is no array stands for its default.
  TShapedSeries x, newX;
  bool xGiven = false, newXGiven = false;
  for (int i = 1; i <= 2 && i < count; ++i) {
    const bool required = (i == 1 && count == 2) || (i == 2 && count == 3);
    TArgumentArray array;
    const bool isArray = c.arrayArgument(i, array) && array;
    if (!isArray) {
      if (required) return;
      continue;
    }
    if (array->dimensionCount() != 2 || array->elementCount() == 0) return;
    (i == 1 ? x : newX) = shapedNumbers(c.sheet, *array);
    (i == 1 ? xGiven : newXGiven) = true;
  }
  if (!xGiven) x = countingRegressor(y);
  if (!newXGiven) newX = x;
  std::int32_t constant = 1;
  if (count == 4 && !c.integerArgument(3, constant)) return;

  if ((y.columns == 1 && x.columns != newX.columns) || (y.columns != 1 && y.rows == 1 && x.rows != newX.rows)) {
    return;
  }
  const std::int64_t k = regressorCount(y, x);
  if (k < 1 || static_cast<std::int64_t>(y.values.size()) * k != static_cast<std::int64_t>(x.values.size()) ||
      static_cast<std::int64_t>(newX.values.size()) % k != 0) {
    return;
  }
  TSeries fitted;
  if (selector == 0) {
    trendValues(x.values, y.values, newX.values, fitted, constant != 0, lengthOf(newX.values), y.rows, y.columns,
                x.rows, x.columns);
  } else {
    growthValues(x.values, y.values, newX.values, fitted, constant != 0, lengthOf(newX.values), y.rows, y.columns,
                 x.rows, x.columns);
  }
  auto result = std::make_unique<TArray>();
  storeVectorInArray(fitted, 1, lengthOf(fitted), *result, true);
  c.setArrayResult(std::move(result));
}

void evalTREND(TEvalContext& c) { evalGROWTH_TREND(c, 0); }
void evalGROWTH(TEvalContext& c) { evalGROWTH_TREND(c, 1); }

void add(TBuiltinTable& table, std::string_view name, TBuiltinRoutine routine) {
  table.at(static_cast<std::size_t>(FunctionIdOf(name))) = routine;
}

}  // namespace

void registerStatisticsFunctions(TBuiltinTable& table) {
  add(table, "AVEDEV", evalAVEDEV);
  add(table, "AVERAGE", evalAVERAGE);
  add(table, "DEVSQ", evalDEVSQ);
  add(table, "GEOMEAN", evalGEOMEAN);
  add(table, "HARMEAN", evalHARMEAN);
  add(table, "KURT", evalKURT);
  add(table, "MAX", evalMAX);
  add(table, "MEDIAN", evalMEDIAN);
  add(table, "MIN", evalMIN);
  add(table, "MODE", evalMODE);
  add(table, "SKEW", evalSKEW);
  add(table, "STDEV", evalSTDEV);
  add(table, "STDEVP", evalSTDEVP);
  add(table, "VAR", evalVAR);
  add(table, "VARP", evalVARP);
  add(table, "COUNT", evalCOUNT);
  add(table, "COUNTA", evalCOUNTA);
  add(table, "COUNTBLANK", evalCOUNTBLANK);
  add(table, "CHI2", evalCHI2);
  add(table, "CHITEST", evalCHITEST);
  add(table, "COVAR", evalCOVAR);
  add(table, "CORREL", evalCORREL);
  add(table, "PEARSON", evalPEARSON);
  add(table, "RSQ", evalRSQ);
  add(table, "SLOPE", evalSLOPE);
  add(table, "INTERCEPT", evalINTERCEPT);
  add(table, "STEYX", evalSTEYX);
  add(table, "FORECAST", evalFORECAST);
  add(table, "FTEST", evalFTEST);
  add(table, "TTEST", evalTTEST);
  add(table, "ZTEST", evalZTEST);
  add(table, "PROB", evalPROB);
  add(table, "LARGE", evalLARGE);
  add(table, "SMALL", evalSMALL);
  add(table, "PERCENTILE", evalPERCENTILE);
  add(table, "QUARTILE", evalQUARTILE);
  add(table, "PERCENTRANK", evalPERCENTRANK);
  add(table, "RANK", evalRANK);
  add(table, "TRIMMEAN", evalTRIMMEAN);
  add(table, "FREQUENCY", evalFREQUENCY);
  add(table, "LINEST", evalLINEST);
  add(table, "LOGEST", evalLOGEST);
  add(table, "TREND", evalTREND);
  add(table, "GROWTH", evalGROWTH);
}

#include "functions/IndicatorFunctions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "functions/ArrayStorage.h"
#include "functions/Bands.h"
#include "functions/CallArguments.h"
#include "functions/Candlesticks.h"
#include "functions/DirectionalMovement.h"
#include "functions/Oscillators.h"
#include "functions/ParabolicSar.h"
#include "functions/Regression.h"
#include "functions/SeriesGathering.h"
#include "functions/TechnicalSeries.h"
#include "functions/VolumeIndicators.h"
#include "sheet/Sheet.h"

namespace {

constexpr int maxParameters = 6;
constexpr int maxSeriesArguments = 2;

using TSeries = std::vector<long double>;

// The parameters of one call by their position after the series arguments:
// an integer parameter is read from `integer`, a number from `number`.
struct TIndicatorArguments {
  std::array<std::int32_t, maxParameters> integer{};
  std::array<long double, maxParameters> number{};
};

// Runs the member's routine on its flattened series (moved from, not
// copied) and leaves the records in output.
using TIndicatorRoutine = void (*)(TSeries* series, const TIndicatorArguments& arguments, TSeries& output);

struct TParameter {
  std::uint8_t kind;  // valueInteger or valueNumber
  // A double, so that a left-out parameter is the very value its default
  // typed into a cell gives.
  double defaultValue;
};

constexpr TParameter period(std::int32_t defaultValue = 0) { return {valueInteger, static_cast<double>(defaultValue)}; }
constexpr TParameter number(double defaultValue) { return {valueNumber, defaultValue}; }

// One built-in of the family: its table shape, its parameters in argument
// order and its routine.
struct TIndicatorMember {
  const char* name;
  int columns;           // of each series argument, the date included
  int minimumRows;
  int seriesArguments;   // the leading arguments that are series
  int minimumArguments;  // all arguments counted; the most is series + parameters
  int parameterCount;
  std::array<TParameter, maxParameters> parameters;
  int checkedPeriods;  // leading parameters that must be at least 1 before any series is read
  int recordLength;
  TIndicatorRoutine routine;
};

constexpr TIndicatorMember series1(const char* name, int columns, int minimumArguments,
                                   std::initializer_list<TParameter> parameters, int recordLength,
                                   TIndicatorRoutine routine, int checkedPeriods = 0, int minimumRows = 1) {
  TIndicatorMember member{name, columns, minimumRows, 1, minimumArguments, static_cast<int>(parameters.size()),
                          {}, checkedPeriods, recordLength, routine};
  int i = 0;
  for (const TParameter& parameter : parameters) member.parameters[i++] = parameter;
  return member;
}

// The nine plain (date, value) members with one required period.
constexpr TIndicatorMember periodMember(const char* name, TIndicatorRoutine routine) {
  return series1(name, 2, 2, {period()}, 2, routine);
}

// Directional lines of the sheet start on the first row.
constexpr std::int32_t directionalStartRow = 0;

// Every member but "BA", which pairs its two series itself. Defaults and
// argument orders are the sheet's; where a routine orders its arguments
// otherwise, the lambda maps them.
constexpr std::array indicatorMembers{
    series1("ACD", 5, 1, {number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              accumulationDistribution(std::move(s[0]), a.number[0], out);
            }),
    series1("ADX", 4, 1, {period(14), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              averageDirectionalIndex(std::move(s[0]), a.integer[0], a.number[1], out);
            },
            1),
    series1("ADXR", 4, 1, {period(14), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              averageDirectionalRating(std::move(s[0]), a.integer[0], a.number[1], out);
            },
            1),
    series1("DIM", 4, 1, {period(14), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              minusDirectionalIndicator(std::move(s[0]), a.integer[0], directionalStartRow, a.number[1], out);
            },
            1),
    series1("DIP", 4, 1, {period(14), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              plusDirectionalIndicator(std::move(s[0]), a.integer[0], directionalStartRow, a.number[1], out);
            },
            1),
    periodMember("ARD", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { aroonDown(std::move(s[0]), a.integer[0], out); }),
    periodMember("ARO", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { aroonOscillator(std::move(s[0]), a.integer[0], out); }),
    periodMember("ARU", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { aroonUp(std::move(s[0]), a.integer[0], out); }),
    series1("ASI", 5, 1, {number(10000), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              accumulationSwingIndex(std::move(s[0]), a.number[0], a.number[1], out);
            }),
    series1("ATR", 4, 1, {period(14)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              averageTrueRangeSeries(std::move(s[0]), a.integer[0], out);
            }),
    series1("BOL", 2, 1, {period(20), number(2)}, 4,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              bollingerBands(std::move(s[0]), a.integer[0], a.number[1], out);
            }),
    // The sheet's period is the routine's date tolerance in days.
    series1("CBI", 2, 1, {period(7)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              coppockCurve(std::move(s[0]), a.integer[0], out);
            }),
    series1("CCI", 4, 1, {period(5)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              commodityChannelIndex(std::move(s[0]), a.integer[0], out);
            }),
    // The third and fourth numbers are the upper and the lower bound of the
    // trend's dead band (their defaults 0.001 and -0.001 make it a band).
    series1("CSP", 5, 1, {period(5), number(0.1), number(0.7), number(0.001), number(-0.001)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              candlestickPatterns(std::move(s[0]), a.integer[0], a.number[1], a.number[2], a.number[4], a.number[3],
                                  out);
            }),
    series1("DI", 4, 1, {}, 2,
            [](TSeries* s, const TIndicatorArguments&, TSeries& out) { directionalIndicator(std::move(s[0]), out); },
            0, 2),
    series1("DM", 3, 1, {}, 2,
            [](TSeries* s, const TIndicatorArguments&, TSeries& out) {
              directionalMovementSeries(std::move(s[0]), out);
            },
            0, 2),
    periodMember("DPO", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { detrendedPriceOscillator(std::move(s[0]), a.integer[0], out); }),
    series1("EFI", 3, 1, {}, 2,
            [](TSeries* s, const TIndicatorArguments&, TSeries& out) { forceIndex(std::move(s[0]), out); }),
    series1("EMA", 2, 2, {period(), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              exponentialMovingAverage(std::move(s[0]), a.integer[0], a.number[1], out);
            },
            1),
    series1("EOM", 4, 1, {number(10000)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              easeOfMovement(std::move(s[0]), a.number[0], out);
            }),
    // The sheet gives the width before the seed of the middle line.
    series1("KB", 4, 1, {period(20), period(10), number(2), number(0)}, 4,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              keltnerBands(std::move(s[0]), a.integer[0], a.integer[1], a.number[3], a.number[2], out);
            }),
    periodMember("MA", [](TSeries* s, const TIndicatorArguments& a,
                          TSeries& out) { simpleMovingAverage(std::move(s[0]), a.integer[0], out); }),
    series1("MACD", 2, 1, {period(26), period(12), period(9), number(0), number(0), number(0)}, 3,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              macd(std::move(s[0]), a.integer[0], a.integer[1], a.integer[2], a.number[3], a.number[4], a.number[5],
                   out);
            }),
    series1("MFI", 5, 2, {period()}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              moneyFlowIndex(std::move(s[0]), a.integer[0], out);
            }),
    series1("MFM", 5, 2, {period()}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              negativeMoneyFlow(std::move(s[0]), a.integer[0], out);
            }),
    series1("MFP", 5, 2, {period()}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              positiveMoneyFlow(std::move(s[0]), a.integer[0], out);
            }),
    series1("MI", 3, 1, {period(25), period(9), number(0), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              massIndex(std::move(s[0]), a.integer[0], a.integer[1], a.number[2], a.number[3], out);
            }),
    periodMember("MO", [](TSeries* s, const TIndicatorArguments& a,
                          TSeries& out) { momentum(std::move(s[0]), a.integer[0], out); }),
    series1("NVI", 3, 1, {number(1)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              negativeVolumeIndex(std::move(s[0]), a.number[0], out);
            }),
    series1("OBV", 3, 1, {number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              onBalanceVolume(std::move(s[0]), a.number[0], out);
            }),
    series1("PVI", 3, 1, {number(1)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              positiveVolumeIndex(std::move(s[0]), a.number[0], out);
            }),
    series1("PVT", 3, 1, {number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              priceVolumeTrend(std::move(s[0]), a.number[0], out);
            }),
    periodMember("ROC", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { rateOfChange(std::move(s[0]), a.integer[0], out); }),
    TIndicatorMember{"RS", 2, 1, 2, 3, 1, {period()}, 1, 2,
                     [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
                       relativeStrength(std::move(s[0]), std::move(s[1]), a.integer[0], out);
                     }},
    periodMember("RSI", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { relativeStrengthIndex(std::move(s[0]), a.integer[0], out); }),
    series1("SAR", 3, 1, {number(0.02), number(0.2)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              parabolicSAR(std::move(s[0]), a.number[0], a.number[1], out);
            }),
    series1("SI", 5, 1, {number(10000)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              swingIndexSeries(std::move(s[0]), a.number[0], out);
            }),
    series1("STO", 4, 4, {period(), period(), period()}, 4,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              stochastic(std::move(s[0]), a.integer[0], a.integer[1], a.integer[2], out);
            },
            0, 2),
    series1("TP", 4, 1, {}, 2,
            [](TSeries* s, const TIndicatorArguments&, TSeries& out) { typicalPriceSeries(std::move(s[0]), out); },
            0, 2),
    series1("TR", 4, 1, {}, 2,
            [](TSeries* s, const TIndicatorArguments&, TSeries& out) { trueRangeSeries(std::move(s[0]), out); },
            0, 2),
    series1("TRIX", 2, 2, {period(), number(0), number(0), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              trix(std::move(s[0]), a.integer[0], a.number[1], a.number[2], a.number[3], out);
            }),
    series1("TSI", 2, 3, {period(), period()}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              trueStrengthIndex(std::move(s[0]), a.integer[0], a.integer[1], out);
            },
            0, 2),
    series1("UDR", 3, 2, {period()}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              upDownVolumeRatio(std::move(s[0]), a.integer[0], out);
            }),
    periodMember("VHF", [](TSeries* s, const TIndicatorArguments& a,
                           TSeries& out) { verticalHorizontalFilter(std::move(s[0]), a.integer[0], out); }),
    series1("VOI", 3, 1, {period(10), number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              differenceOscillator(std::move(s[0]), a.integer[0], a.number[1], out);
            }),
    series1("WAD", 4, 1, {number(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              williamsAccumulationDistribution(std::move(s[0]), a.number[0], out);
            }),
    series1("WRO", 4, 2, {period()}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              williamsPercentR(std::move(s[0]), a.integer[0], out);
            }),
    // The sheet gives the threshold before the logarithmic flag.
    series1("ZZI", 2, 1, {number(0.1), period(0)}, 2,
            [](TSeries* s, const TIndicatorArguments& a, TSeries& out) {
              zigZag(std::move(s[0]), a.integer[1] != 0, a.number[0], out);
            }),
};

// ---- Reading the arguments ----

// The defaults, replaced by the parameters given; each run of parameters of
// one kind is converted in one go.
bool readParameters(TEvalContext& context, const TIndicatorMember& member, TIndicatorArguments& arguments) {
  for (int i = 0; i < member.parameterCount; ++i) {
    arguments.integer[i] = static_cast<std::int32_t>(member.parameters[i].defaultValue);
    arguments.number[i] = member.parameters[i].defaultValue;
  }
  int given = context.argumentCount() - member.seriesArguments;
  for (int first = 0; first < given;) {
    std::uint8_t kind = member.parameters[first].kind;
    int end = first + 1;
    while (end < given && member.parameters[end].kind == kind) ++end;
    if (!context.evalConvertArgs(end - first, kind, context.argumentIndex(member.seriesArguments + end - 1))) {
      return false;
    }
    for (int i = first; i < end; ++i) {
      const TValueRecord& value = context.argument(member.seriesArguments + i)->value;
      if (kind == valueInteger) {
        arguments.integer[i] = value.integer;
      } else {
        arguments.number[i] = value.number;
      }
    }
    first = end;
  }
  return true;
}

// Argument i as a two-dimensional array of the given columns and at least
// minimumRows rows, borrowed where the argument allows.
bool tableArgument(TEvalContext& context, int i, int columns, int minimumRows, TArgumentArray& table) {
  if (!context.arrayArgument(i, table)) return false;
  const std::vector<std::int32_t>& dimensions = table->dimensions();
  return dimensions.size() == 2 && dimensions[1] == columns && dimensions[0] >= minimumRows;
}

// The records as the call's array result, one row each; nothing for none.
void setRecordsResult(TEvalContext& context, const TSeries& records, int recordLength) {
  std::int64_t rows = static_cast<std::int64_t>(records.size() / recordLength);
  if (rows < 1 || rows * recordLength > maxArrayElements) return;
  auto result = std::make_unique<TArray>();
  storeVectorInArray(records, recordLength, static_cast<int>(rows), *result, true);
  context.setArrayResult(std::move(result));
}

// The procedure every member shares: arity, parameters with their defaults,
// the period checks, the series, one run of the routine, the records.
void evalIndicator(TEvalContext& context, const TIndicatorMember& member) {
  int count = context.argumentCount();
  if (count < member.minimumArguments || count > member.seriesArguments + member.parameterCount) return;
  TIndicatorArguments arguments;
  if (!readParameters(context, member, arguments)) return;
  for (int i = 0; i < member.checkedPeriods; ++i) {
    if (arguments.integer[i] < 1) return;
  }
  std::array<TSeries, maxSeriesArguments> series;
  for (int i = 0; i < member.seriesArguments; ++i) {
    TArgumentArray table;
    if (!tableArgument(context, i, member.columns, member.minimumRows, table)) return;
    // Row by row, one value per element: what is no number counts as 0.
    appendArrayNumbers(context.sheet, *table, series[i], true);
  }
  TSeries records;
  member.routine(series.data(), arguments, records);
  setRecordsResult(context, records, member.recordLength);
}

template <std::size_t row>
void evalMember(TEvalContext& context) {
  evalIndicator(context, indicatorMembers[row]);
}

// ---- "BA": the regression of one series' period returns on another's ----

constexpr int pairedSeriesColumns = 2;
constexpr int pairedSeriesMinimumRows = 2;

// The returns of the rows of A and B that stand on the same pair of
// consecutive dates, each less 1 + rate. B is walked forward only; its
// cursor stays on a match, so when dates repeat one B pair can serve
// several A pairs.
void pairReturns(const TSheet& sheet, const TArray& a, const TArray& b, long double rate, TSeries& returnsA,
                 TSeries& returnsB) {
  std::int32_t rowsA = a.dimensions()[0];
  std::int32_t rowsB = b.dimensions()[0];
  returnsA.reserve(static_cast<std::size_t>(std::min(rowsA, rowsB) - 1));
  returnsB.reserve(static_cast<std::size_t>(std::min(rowsA, rowsB) - 1));
  long double shift = 1 + rate;
  std::int32_t j = 1;
  for (std::int32_t i = 1; i < rowsA; ++i) {
    double dateA0 = 0, valueA0 = 0, dateA1 = 0, valueA1 = 0;
    if (!elementNumber(sheet, a.at(i - 1, 0), dateA0) || !elementNumber(sheet, a.at(i - 1, 1), valueA0) ||
        !elementNumber(sheet, a.at(i, 0), dateA1) || !elementNumber(sheet, a.at(i, 1), valueA1)) {
      continue;
    }
    bool matched = false;
    for (; j < rowsB; ++j) {
      double dateB0 = 0, dateB1 = 0;
      if (elementNumber(sheet, b.at(j - 1, 0), dateB0) && elementNumber(sheet, b.at(j, 0), dateB1) &&
          dateB0 == dateA0 && dateB1 == dateA1) {
        matched = true;
        break;
      }
    }
    if (!matched) continue;
    double valueB0 = 0, valueB1 = 0;
    if (!elementNumber(sheet, b.at(j - 1, 1), valueB0) || !elementNumber(sheet, b.at(j, 1), valueB1)) continue;
    // A zero divisor is the only fault these returns can meet (the values
    // are doubles, their quotients well inside the extended range): the
    // pair is left out.
    if (valueA0 == 0 || valueB0 == 0) continue;
    returnsA.push_back(static_cast<long double>(valueA1) / valueA0 - shift);
    returnsB.push_back(static_cast<long double>(valueB1) / valueB0 - shift);
  }
}

void evalBA(TEvalContext& context) {
  TCallArguments args(context);
  if (!args.countIn(2, 3)) return;
  const long double rate = args.number(2, 0);
  if (!args) return;
  TArgumentArray a, b;
  if (!tableArgument(context, 0, pairedSeriesColumns, pairedSeriesMinimumRows, a) ||
      !tableArgument(context, 1, pairedSeriesColumns, pairedSeriesMinimumRows, b)) {
    return;
  }
  TSeries returnsA, returnsB;
  pairReturns(context.sheet, *a, *b, rate, returnsA, returnsB);
  int pairs = static_cast<int>(returnsA.size());
  if (pairs < 2) return;
  // B's returns on A's, with a constant: the slope, then the intercept.
  TSeries fit;
  linearRegression(returnsA, returnsB, 1, fit, false, true, pairs, 1, pairs);
  if (fit.size() != 2) return;
  auto result = std::make_unique<TArray>();
  storeVectorInArray(fit, 2, 1, *result, true);
  context.setArrayResult(std::move(result));
}

void registerRoutine(TBuiltinTable& table, const char* name, TBuiltinRoutine routine) {
  int id = FunctionIdOf(name);
  if (id >= 1 && id <= builtInFunctionCount) table[static_cast<std::size_t>(id)] = routine;
}

template <std::size_t... rows>
void registerMembers(TBuiltinTable& table, std::index_sequence<rows...>) {
  (registerRoutine(table, indicatorMembers[rows].name, &evalMember<rows>), ...);
}

}  // namespace

void registerIndicatorFunctions(TBuiltinTable& table) {
  registerMembers(table, std::make_index_sequence<indicatorMembers.size()>{});
  registerRoutine(table, "BA", &evalBA);
}

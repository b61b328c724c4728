#include "functions/indicators/IndicatorFunctions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "functions/ArrayStorage.h"
#include "functions/indicators/Bands.h"
#include "functions/CallArguments.h"
#include "functions/indicators/Candlesticks.h"
#include "functions/indicators/DirectionalMovement.h"
#include "functions/indicators/Oscillators.h"
#include "functions/indicators/ParabolicSar.h"
#include "functions/RangeValues.h"
#include "functions/statistics/Regression.h"
#include "functions/SeriesGathering.h"
#include "functions/indicators/TechnicalSeries.h"
#include "functions/indicators/VolumeIndicators.h"
#include "sheet/Sheet.h"

namespace {

constexpr int maxParameters = 6;
constexpr int maxSeriesArguments = 2;

using TSeries = std::vector<long double>;

// One call's tables, parameters and records. Parameters are read by their
// position after the tables: an integer parameter with integer(i), a number
// with number(i).
struct TIndicatorCall {
  std::array<TSeries, maxSeriesArguments> tables;
  std::array<std::int32_t, maxParameters> integers{};
  std::array<long double, maxParameters> numbers{};
  TSeries output;

  // A table's values, handed over to the routine rather than copied.
  TSeries table(int i = 0) { return std::move(tables[i]); }
  std::int32_t integer(int i) const { return integers[i]; }
  long double number(int i) const { return numbers[i]; }
};

// Runs the member's routine, which leaves its records in call.output.
using TIndicatorRoutine = void (*)(TIndicatorCall& call);

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

// A member over one table.
constexpr TIndicatorMember tableMember(const char* name, int columns, int minimumArguments,
                                       std::initializer_list<TParameter> parameters, int recordLength,
                                       TIndicatorRoutine routine, int checkedPeriods = 0, int minimumRows = 1) {
  TIndicatorMember result{name, columns, minimumRows, 1, minimumArguments, static_cast<int>(parameters.size()),
                          {}, checkedPeriods, recordLength, routine};
  int i = 0;
  for (const TParameter& parameter : parameters) result.parameters[i++] = parameter;
  return result;
}

// The nine plain (date, value) members with one required period.
constexpr TIndicatorMember periodMember(const char* name, TIndicatorRoutine routine) {
  return tableMember(name, 2, 2, {period()}, 2, routine);
}

// Directional lines of the sheet start on the first row.
constexpr std::int32_t directionalStartRow = 0;

// Every member but "BA", which pairs its two series itself. Defaults and
// argument orders are the sheet's; where a routine orders its arguments
// otherwise, the lambda maps them.
constexpr std::array indicatorMembers{
    tableMember("ACD", 5, 1, {number(0)}, 2,
                [](TIndicatorCall& c) { accumulationDistribution(c.table(), c.number(0), c.output); }),
    tableMember("ADX", 4, 1, {period(14), number(0)}, 2,
                [](TIndicatorCall& c) { averageDirectionalIndex(c.table(), c.integer(0), c.number(1), c.output); },
                1),
    tableMember("ADXR", 4, 1, {period(14), number(0)}, 2,
                [](TIndicatorCall& c) { averageDirectionalRating(c.table(), c.integer(0), c.number(1), c.output); },
                1),
    tableMember("DIM", 4, 1, {period(14), number(0)}, 2,
                [](TIndicatorCall& c) {
                  minusDirectionalIndicator(c.table(), c.integer(0), directionalStartRow, c.number(1), c.output);
                },
                1),
    tableMember("DIP", 4, 1, {period(14), number(0)}, 2,
                [](TIndicatorCall& c) {
                  plusDirectionalIndicator(c.table(), c.integer(0), directionalStartRow, c.number(1), c.output);
                },
                1),
    periodMember("ARD", [](TIndicatorCall& c) { aroonDown(c.table(), c.integer(0), c.output); }),
    periodMember("ARO", [](TIndicatorCall& c) { aroonOscillator(c.table(), c.integer(0), c.output); }),
    periodMember("ARU", [](TIndicatorCall& c) { aroonUp(c.table(), c.integer(0), c.output); }),
    tableMember("ASI", 5, 1, {number(10000), number(0)}, 2,
                [](TIndicatorCall& c) { accumulationSwingIndex(c.table(), c.number(0), c.number(1), c.output); }),
    tableMember("ATR", 4, 1, {period(14)}, 2,
                [](TIndicatorCall& c) { averageTrueRangeSeries(c.table(), c.integer(0), c.output); }),
    tableMember("BOL", 2, 1, {period(20), number(2)}, 4,
                [](TIndicatorCall& c) { bollingerBands(c.table(), c.integer(0), c.number(1), c.output); }),
    // The sheet's period is the routine's date tolerance in days.
    tableMember("CBI", 2, 1, {period(7)}, 2,
                [](TIndicatorCall& c) { coppockCurve(c.table(), c.integer(0), c.output); }),
    tableMember("CCI", 4, 1, {period(5)}, 2,
                [](TIndicatorCall& c) { commodityChannelIndex(c.table(), c.integer(0), c.output); }),
    // The third and fourth numbers are the upper and the lower bound of the
    // trend's dead band (their defaults 0.001 and -0.001 make it a band).
    tableMember("CSP", 5, 1, {period(5), number(0.1), number(0.7), number(0.001), number(-0.001)}, 2,
                [](TIndicatorCall& c) {
                  candlestickPatterns(c.table(), c.integer(0), c.number(1), c.number(2), c.number(4), c.number(3),
                                      c.output);
                }),
    tableMember("DI", 4, 1, {}, 2, [](TIndicatorCall& c) { directionalIndicator(c.table(), c.output); }, 0, 2),
    tableMember("DM", 3, 1, {}, 2, [](TIndicatorCall& c) { directionalMovementSeries(c.table(), c.output); }, 0, 2),
    periodMember("DPO", [](TIndicatorCall& c) { detrendedPriceOscillator(c.table(), c.integer(0), c.output); }),
    tableMember("EFI", 3, 1, {}, 2, [](TIndicatorCall& c) { forceIndex(c.table(), c.output); }),
    tableMember("EMA", 2, 2, {period(), number(0)}, 2,
                [](TIndicatorCall& c) { exponentialMovingAverage(c.table(), c.integer(0), c.number(1), c.output); },
                1),
    tableMember("EOM", 4, 1, {number(10000)}, 2,
                [](TIndicatorCall& c) { easeOfMovement(c.table(), c.number(0), c.output); }),
    // The sheet gives the width before the seed of the middle line.
    tableMember("KB", 4, 1, {period(20), period(10), number(2), number(0)}, 4,
                [](TIndicatorCall& c) {
                  keltnerBands(c.table(), c.integer(0), c.integer(1), c.number(3), c.number(2), c.output);
                }),
    periodMember("MA", [](TIndicatorCall& c) { simpleMovingAverage(c.table(), c.integer(0), c.output); }),
    tableMember("MACD", 2, 1, {period(26), period(12), period(9), number(0), number(0), number(0)}, 3,
                [](TIndicatorCall& c) {
                  macd(c.table(), c.integer(0), c.integer(1), c.integer(2), c.number(3), c.number(4), c.number(5),
                       c.output);
                }),
    tableMember("MFI", 5, 2, {period()}, 2,
                [](TIndicatorCall& c) { moneyFlowIndex(c.table(), c.integer(0), c.output); }),
    tableMember("MFM", 5, 2, {period()}, 2,
                [](TIndicatorCall& c) { negativeMoneyFlow(c.table(), c.integer(0), c.output); }),
    tableMember("MFP", 5, 2, {period()}, 2,
                [](TIndicatorCall& c) { positiveMoneyFlow(c.table(), c.integer(0), c.output); }),
    tableMember("MI", 3, 1, {period(25), period(9), number(0), number(0)}, 2,
                [](TIndicatorCall& c) {
                  massIndex(c.table(), c.integer(0), c.integer(1), c.number(2), c.number(3), c.output);
                }),
    periodMember("MO", [](TIndicatorCall& c) { momentum(c.table(), c.integer(0), c.output); }),
    tableMember("NVI", 3, 1, {number(1)}, 2,
                [](TIndicatorCall& c) { negativeVolumeIndex(c.table(), c.number(0), c.output); }),
    tableMember("OBV", 3, 1, {number(0)}, 2,
                [](TIndicatorCall& c) { onBalanceVolume(c.table(), c.number(0), c.output); }),
    tableMember("PVI", 3, 1, {number(1)}, 2,
                [](TIndicatorCall& c) { positiveVolumeIndex(c.table(), c.number(0), c.output); }),
    tableMember("PVT", 3, 1, {number(0)}, 2,
                [](TIndicatorCall& c) { priceVolumeTrend(c.table(), c.number(0), c.output); }),
    periodMember("ROC", [](TIndicatorCall& c) { rateOfChange(c.table(), c.integer(0), c.output); }),
    TIndicatorMember{"RS", 2, 1, 2, 3, 1, {period()}, 1, 2,
                     [](TIndicatorCall& c) { relativeStrength(c.table(0), c.table(1), c.integer(0), c.output); }},
    periodMember("RSI", [](TIndicatorCall& c) { relativeStrengthIndex(c.table(), c.integer(0), c.output); }),
    tableMember("SAR", 3, 1, {number(0.02), number(0.2)}, 2,
                [](TIndicatorCall& c) { parabolicSAR(c.table(), c.number(0), c.number(1), c.output); }),
    tableMember("SI", 5, 1, {number(10000)}, 2,
                [](TIndicatorCall& c) { swingIndexSeries(c.table(), c.number(0), c.output); }),
    tableMember("STO", 4, 4, {period(), period(), period()}, 4,
                [](TIndicatorCall& c) { stochastic(c.table(), c.integer(0), c.integer(1), c.integer(2), c.output); },
                0, 2),
    tableMember("TP", 4, 1, {}, 2, [](TIndicatorCall& c) { typicalPriceSeries(c.table(), c.output); }, 0, 2),
    tableMember("TR", 4, 1, {}, 2, [](TIndicatorCall& c) { trueRangeSeries(c.table(), c.output); }, 0, 2),
    tableMember("TRIX", 2, 2, {period(), number(0), number(0), number(0)}, 2,
                [](TIndicatorCall& c) {
                  trix(c.table(), c.integer(0), c.number(1), c.number(2), c.number(3), c.output);
                }),
    tableMember("TSI", 2, 3, {period(), period()}, 2,
                [](TIndicatorCall& c) { trueStrengthIndex(c.table(), c.integer(0), c.integer(1), c.output); }, 0,
                2),
    tableMember("UDR", 3, 2, {period()}, 2,
                [](TIndicatorCall& c) { upDownVolumeRatio(c.table(), c.integer(0), c.output); }),
    periodMember("VHF", [](TIndicatorCall& c) { verticalHorizontalFilter(c.table(), c.integer(0), c.output); }),
    tableMember("VOI", 3, 1, {period(10), number(0)}, 2,
                [](TIndicatorCall& c) { differenceOscillator(c.table(), c.integer(0), c.number(1), c.output); }),
    tableMember("WAD", 4, 1, {number(0)}, 2,
                [](TIndicatorCall& c) { williamsAccumulationDistribution(c.table(), c.number(0), c.output); }),
    tableMember("WRO", 4, 2, {period()}, 2,
                [](TIndicatorCall& c) { williamsPercentR(c.table(), c.integer(0), c.output); }),
    // The sheet gives the threshold before the logarithmic flag.
    tableMember("ZZI", 2, 1, {number(0.1), period(0)}, 2,
                [](TIndicatorCall& c) { zigZag(c.table(), c.integer(1) != 0, c.number(0), c.output); }),
};

// ---- Reading the arguments ----

// The defaults, replaced by the parameters given; each run of parameters of
// one kind is converted in one go.
bool readParameters(TEvalContext& context, const TIndicatorMember& member, TIndicatorCall& call) {
  for (int i = 0; i < member.parameterCount; ++i) {
    call.integers[i] = static_cast<std::int32_t>(member.parameters[i].defaultValue);
    call.numbers[i] = member.parameters[i].defaultValue;
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
        call.integers[i] = value.integer;
      } else {
        call.numbers[i] = value.number;
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

// A range of the given columns and at least minimumRows rows as the series
// of its rows, one value per place, what is no number counting as 0. The
// cells are visited column by column, as they are stored; places beyond the
// allocated cells are left 0 unread.
bool rangeSeries(const TSheet& sheet, const TRangePlaces& range, int columns, int minimumRows, TSeries& series) {
  if (range.columns() != columns || range.rows() < minimumRows) return false;
  series.assign(static_cast<std::size_t>(range.rows() * columns), 0.0L);
  TValueRecord value;
  int lastAllocatedCol = std::min(range.lastCol, static_cast<int>(sheet.cells.size()));
  for (int col = range.firstCol; col <= lastAllocatedCol; ++col) {
    const auto& column = sheet.cells[static_cast<std::size_t>(col) - 1];
    int lastAllocatedRow = std::min(range.lastRow, static_cast<int>(column.size()));
    for (int row = range.firstRow; row <= lastAllocatedRow; ++row) {
      const TCell* cell = column[static_cast<std::size_t>(row) - 1].get();
      if (!cell) continue;
      sheet.cellToValue(cell, false, value);
      double number = 0;
      if (elementNumber(sheet, value, number)) {
        series[static_cast<std::size_t>(row - range.firstRow) * columns + (col - range.firstCol)] = number;
      }
    }
  }
  return true;
}

// Argument i as the flat series of a table of the given columns and at
// least minimumRows rows. A range goes straight from its cells into the
// series, so that a table is converted once; an array is borrowed.
bool tableSeries(TEvalContext& context, int i, int columns, int minimumRows, TSeries& series) {
  TRangePlaces range;
  if (rangeArgument(context, i, range)) return rangeSeries(context.sheet, range, columns, minimumRows, series);
  TArgumentArray table;
  if (!tableArgument(context, i, columns, minimumRows, table)) return false;
  // Row by row, one value per element: what is no number counts as 0.
  appendArrayNumbers(context.sheet, *table, series, true);
  return true;
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
  TIndicatorCall call;
  if (!readParameters(context, member, call)) return;
  for (int i = 0; i < member.checkedPeriods; ++i) {
    if (call.integer(i) < 1) return;
  }
  for (int i = 0; i < member.seriesArguments; ++i) {
    if (!tableSeries(context, i, member.columns, member.minimumRows, call.tables[i])) return;
  }
  member.routine(call);
  setRecordsResult(context, call.output, member.recordLength);
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

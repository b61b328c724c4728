#pragma once
#include <cstdint>
#include <vector>

// Shared routines of the technical indicators. Every series routine takes its
// input as a flat array of rows, date first, and writes flat records (date,
// value) to `output`, which it empties first; a row that lacks the history
// its window needs gets no record. Periods below 1 raise ERangeError; a
// floating-point fault outside a routine's own guard is raised as its
// exception (see IndicatorSeries.h).

// (high + low + close) / 3, the same wherever it is taken; inline for the
// loops that take it twice a row.
inline long double typicalPrice(long double high, long double low, long double close) {
  constexpr long double oneThird = 1.0L / 3.0L;  // the extended number nearest to it
  return (high + low + close) * oneThird;
}

// The largest of previous close - low, high - previous close, high - low.
long double trueRange(long double low, long double high, long double previousClose);

// Plain mean of the true ranges of rows last - period + 1 ... last of a
// (date, high, low, close) series, each against the close of the row before
// it. Raises ERangeError unless 1 <= period <= last < rows.
long double averageTrueRange(const std::vector<long double>& series, int32_t lastRow, int32_t period);

// The winning move of a row: +up, -down, or 0 on a tie (and on an inside day).
long double directionalMovement(long double previousHigh, long double previousLow, long double high, long double low);

// Wilder's swing index of a row against the previous row; 0 when its range
// term is 0. The caller passes 1 / limit move.
long double swingIndex(long double reciprocalLimitMove, long double previousOpen, long double previousClose,
                       long double open, long double high, long double low, long double close);

// (date, value) rows -> every row, seeded with `seed` before row 0.
void exponentialMovingAverage(std::vector<long double> values, int32_t period, long double seed,
                              std::vector<long double>& output);
// (date, value) rows -> rows - period + 1 records from row period - 1.
void simpleMovingAverage(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, value) rows -> rows - period records from row period.
void momentum(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, value) rows -> percent change over `period` rows from row period; a
// row whose division faults is left out.
void rateOfChange(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, high, low, close) rows -> every row.
void typicalPriceSeries(std::vector<long double> values, std::vector<long double>& output);
// (date, high, low, close) rows -> rows - 1 records from row 1.
void trueRangeSeries(std::vector<long double> values, std::vector<long double>& output);

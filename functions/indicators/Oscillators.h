#pragma once
#include <cstdint>
#include <vector>

// Oscillators over flat rows, date first, written as flat records (see
// TechnicalSeries.h). Every average takes its starting value as a seed.

// (date, value) rows -> every row as (date, line, signal): the line is the
// average of period 2 minus the average of period 1, the signal its average
// of period 3.
void macd(std::vector<long double> values, int32_t period1, int32_t period2, int32_t period3, long double seed1,
          long double seed2, long double seed3, std::vector<long double>& output);
// (date, value) rows -> percent rate of change over `period` rows of a triple
// exponential average; faulting rows are left out.
void trix(std::vector<long double> values, int32_t period, long double seed1, long double seed2, long double seed3,
          std::vector<long double>& output);
// (date, value) rows -> from row 1, the doubly smoothed one-row change over
// its doubly smoothed size (a fraction); faulting rows are left out.
void trueStrengthIndex(std::vector<long double> values, int32_t period1, int32_t period2,
                       std::vector<long double>& output);
// (date, value) rows -> rows - period records from row period. The side that
// did not move keeps its average; a row without falls reads 100 (50 when
// nothing moved at all).
void relativeStrengthIndex(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// Two (date, value) series -> on the dates they share, the change over
// `period` shared dates of the ratio first / second; faulting rows are left
// out.
void relativeStrength(std::vector<long double> first, std::vector<long double> second, int32_t period,
                      std::vector<long double>& output);
// (date, value) rows -> rows - period records, each on the row period / 2
// rows before the end of its window.
void detrendedPriceOscillator(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, high, low, close) rows -> rows - lookback - kPeriod - dPeriod + 3
// records (date, raw %K, %K, %D); a window whose high equals its low reads
// 100.
void stochastic(std::vector<long double> values, int32_t lookback, int32_t kPeriod, int32_t dPeriod,
                std::vector<long double>& output);
// (date, high, low, close) rows -> rows - period + 1 records from row
// period - 1, from -100 (close at the low) to 0; a flat window reads 100.
void williamsPercentR(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, high, low, close) rows -> rows - period records from row period.
void commodityChannelIndex(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, value) rows -> a record for each row whose 11- and 14-month history
// over the last ten months is found within `toleranceDays`.
void coppockCurve(std::vector<long double> values, int32_t toleranceDays, std::vector<long double>& output);

// The row among firstRow ... lastRow of a date-sorted flat array whose date
// is within `tolerance` of `target`: the first such row a binary search
// meets, not necessarily the nearest; -1 when there is none.
int32_t findDateRow(const std::vector<long double>& values, int width, int32_t firstRow, int32_t lastRow,
                    long double tolerance, long double target);

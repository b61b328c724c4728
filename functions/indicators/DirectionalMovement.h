#pragma once
#include <cstdint>
#include <vector>

// Direction and strength of a trend from high, low and close prices. Inputs
// are flat rows, date first; outputs flat (date, value) records (see
// TechnicalSeries.h). The directional values are fractions of the true range,
// not percentages.

// (date, high, low) rows -> rows - 1 records from row 1.
void directionalMovementSeries(std::vector<long double> values, std::vector<long double>& output);
// (date, high, low, close) rows -> rows - 1 records from row 1: the winning
// move over the true range. A zero true range faults.
void directionalIndicator(std::vector<long double> values, std::vector<long double>& output);
// (date, high, low, close) rows -> rows - startRow records from startRow, the
// first holding `seed`, then the exponential average of the down (minus) or
// up (plus) move over the true range. A negative start row raises
// ERangeError.
void minusDirectionalIndicator(std::vector<long double> values, int32_t period, int32_t startRow, long double seed,
                               std::vector<long double>& output);
void plusDirectionalIndicator(std::vector<long double> values, int32_t period, int32_t startRow, long double seed,
                              std::vector<long double>& output);
// (date, high, low, close) rows -> rows - period + 1 records from row
// period - 1, the index smoothed from `seed`.
void averageDirectionalIndex(std::vector<long double> values, int32_t period, long double seed,
                             std::vector<long double>& output);
// (date, high, low, close) rows -> (rows - period + 1) - period records from
// row 2 period - 1. Raises ERangeError when the index has no more than
// `period` records.
void averageDirectionalRating(std::vector<long double> values, int32_t period, long double seed,
                              std::vector<long double>& output);
// (date, high, low, close) rows -> rows - period records from row period, the
// plain mean of the last `period` true ranges.
void averageTrueRangeSeries(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, value) rows -> rows - period + 1 records from row period - 1, in
// percent of the window's length.
void aroonDown(std::vector<long double> values, int32_t period, std::vector<long double>& output);
void aroonUp(std::vector<long double> values, int32_t period, std::vector<long double>& output);
void aroonOscillator(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, value) rows -> at most rows - period records from row period; a flat
// window (no movement at all) is left out.
void verticalHorizontalFilter(std::vector<long double> values, int32_t period, std::vector<long double>& output);

#pragma once
#include <cstdint>
#include <vector>

// Indicators that weigh price changes with volume or keep a running total,
// over flat rows, date first, written as flat (date, value) records (see
// TechnicalSeries.h). The running totals start at `seed`, which is also the
// record of row 0.

// (date, high, low, close, volume) rows -> every row, the total already
// including row 0; a row whose high equals its low repeats the total.
void accumulationDistribution(std::vector<long double> values, long double seed, std::vector<long double>& output);
// (date, close, volume) rows -> every row.
void onBalanceVolume(std::vector<long double> values, long double seed, std::vector<long double>& output);
void negativeVolumeIndex(std::vector<long double> values, long double seed, std::vector<long double>& output);
void positiveVolumeIndex(std::vector<long double> values, long double seed, std::vector<long double>& output);
void priceVolumeTrend(std::vector<long double> values, long double seed, std::vector<long double>& output);
// (date, high, low, close) rows -> every row.
void williamsAccumulationDistribution(std::vector<long double> values, long double seed,
                                      std::vector<long double>& output);
// (date, open, high, low, close) rows -> every row, the running swing index.
// A zero limit move faults.
void accumulationSwingIndex(std::vector<long double> values, long double limitMove, long double seed,
                            std::vector<long double>& output);
// (date, open, high, low, close) rows -> rows - 1 records from row 1.
void swingIndexSeries(std::vector<long double> values, long double limitMove, std::vector<long double>& output);
// (date, close, volume) rows -> rows - 1 records from row 1.
void forceIndex(std::vector<long double> values, std::vector<long double>& output);
// (date, high, low, volume) rows -> at most rows - 1 records from row 1; a
// row without volume is left out.
void easeOfMovement(std::vector<long double> values, long double scale, std::vector<long double>& output);
// (date, high, low, close, volume) rows -> rows - period records from row
// period: the money flow of the last `period` rows whose typical price fell
// (negative) or rose (positive).
void negativeMoneyFlow(std::vector<long double> values, int32_t period, std::vector<long double>& output);
void positiveMoneyFlow(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, high, low, close, volume) rows -> rows - period records from row
// period; a window without negative flow reads 100.
void moneyFlowIndex(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, close, volume) rows -> at most rows - period records from row
// period: up volume over down volume of the last `period` changes; a window
// without down volume is left out.
void upDownVolumeRatio(std::vector<long double> values, int32_t period, std::vector<long double>& output);
// (date, a, b) rows -> the percent rate of change over `period` rows of the
// exponential average of a - b; faulting rows are left out.
void differenceOscillator(std::vector<long double> values, int32_t period, long double seed,
                          std::vector<long double>& output);

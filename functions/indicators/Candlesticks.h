#pragma once
#include <cstdint>
#include <vector>

// Candlestick pattern scan over (date, open, high, low, close) rows. Each row
// at which a pattern begins gets one (date, code) record, in row order: the
// code's size names the pattern, its sign reads it as bullish (+) or bearish
// (-); the first pattern that matches a row is the one reported.
//
// Candle sizes are graded against the mean body and shadows of a window of
// the `trendLength` rows before the pattern and the pattern's own rows: a
// ratio below `lowThreshold` grades 0, above `highThreshold` 1, linearly
// between. The trend is the least-squares slope of the closes of the
// `trendLength` rows before the pattern, taken as no trend inside the dead
// band between its bounds (and always with fewer than two rows). A window
// whose bodies are all zero faults; a negative trend length raises
// ERangeError.
void candlestickPatterns(std::vector<long double> values, int32_t trendLength, long double lowThreshold,
                         long double highThreshold, long double deadBandLower, long double deadBandUpper,
                         std::vector<long double>& output);

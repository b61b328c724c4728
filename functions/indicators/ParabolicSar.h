#pragma once
#include <vector>

// The two indicators that follow a series' turning points with a state
// machine, over flat rows, date first, written as flat (date, value) records
// (see TechnicalSeries.h).

// (date, high, low) rows -> rows - 1 records from row 1: Wilder's parabolic
// stop-and-reverse, the factor growing by `step` on each new extreme up to
// `maximumFactor`.
void parabolicSAR(std::vector<long double> values, long double step, long double maximumFactor,
                  std::vector<long double>& output);
// (date, value) rows -> every row of the line through the alternating peaks
// and troughs that move more than `threshold` (a fraction) from the pivot
// before them, interpolated by row count, geometrically when `logarithmic`.
// A negative threshold raises ERangeError; fewer than two rows give nothing.
void zigZag(std::vector<long double> values, bool logarithmic, long double threshold,
            std::vector<long double>& output);

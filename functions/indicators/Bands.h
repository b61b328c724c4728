#pragma once
#include <cstdint>
#include <vector>

// Volatility bands and the mass index over flat rows, date first (see
// TechnicalSeries.h). The bands are written as (date, lower, middle, upper).

// (date, value) rows -> rows - period + 1 records from row period - 1: the
// window mean -/+ width population standard deviations.
void bollingerBands(std::vector<long double> values, int32_t period, long double width,
                    std::vector<long double>& output);
// (date, high, low, close) rows -> rows - rangePeriod records from row
// rangePeriod: the exponential average of the close, seeded before row 0,
// -/+ width times the plain mean true range of the last rangePeriod rows.
void keltnerBands(std::vector<long double> values, int32_t averagePeriod, int32_t rangePeriod, long double seed,
                  long double width, std::vector<long double>& output);
// (date, high, low) rows -> rows - sumPeriod + 1 records from row
// sumPeriod - 1: the sum over sumPeriod rows of the single over the double
// exponential average of the range.
void massIndex(std::vector<long double> values, int32_t sumPeriod, int32_t averagePeriod, long double seed1,
               long double seed2, std::vector<long double>& output);

struct TWindowMoments {
  long double mean;
  long double sumOfSquares;  // of the deviations from the mean
};
// Mean and squared deviations of `count` values `stride` apart, added in
// window order. Raises ERangeError for a count below 1.
TWindowMoments windowMeanAndSquares(const long double* first, int32_t count, int stride);

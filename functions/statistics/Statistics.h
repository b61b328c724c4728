#pragma once
#include <vector>

// Descriptive statistics over arrays of extended values. Invalid arguments
// raise ERangeError; a zero divisor the rules do not check raises the
// floating-point exception of the division. Kernels taking the array by
// non-const reference sort it ascending (callers pass a copy when the order
// matters).

// Location, spread and shape.
long double arithmeticMean(const std::vector<long double>& a, int count);
long double averageDeviation(const std::vector<long double>& a);
long double devSq(const std::vector<long double>& a);
long double varPopulation(const std::vector<long double>& a);
long double varSample(const std::vector<long double>& a);
long double stdevPopulation(const std::vector<long double>& a);
long double stdevSample(const std::vector<long double>& a);
long double covarPopulation(const std::vector<long double>& a, const std::vector<long double>& b);
long double covarSample(const std::vector<long double>& a, const std::vector<long double>& b);
long double correlPopulation(const std::vector<long double>& a, const std::vector<long double>& b);
long double correlSample(const std::vector<long double>& a, const std::vector<long double>& b);
long double pearson(const std::vector<long double>& a, const std::vector<long double>& b);
long double rSquared(const std::vector<long double>& a, const std::vector<long double>& b);
long double slope(const std::vector<long double>& x, const std::vector<long double>& y);
long double forecast(const std::vector<long double>& x, const std::vector<long double>& y, long double t);
long double intercept(const std::vector<long double>& x, const std::vector<long double>& y);
long double standardErrorYX(const std::vector<long double>& x, const std::vector<long double>& y);
long double geometricMean(const std::vector<long double>& a);
long double harmonicMean(const std::vector<long double>& a);
long double skewness(const std::vector<long double>& a);
// Fewer than four values raise EDivByZero.
long double kurtosis(const std::vector<long double>& a);
long double maxValue(const std::vector<long double>& a);
long double minValue(const std::vector<long double>& a);

// Order statistics.
long double median(std::vector<long double>& a);
// The same value by selection instead of a sort, for a caller whose copy's
// order does not matter: a may be reordered, not necessarily sorted.
long double medianBySelection(std::vector<long double>& a);
// The value of the longest run of equal values (the smallest among equally
// long runs); no value occurring twice raises ERangeError.
long double modeValue(std::vector<long double>& a);
long double kthLargest(std::vector<long double>& a, int k);
long double kthSmallest(std::vector<long double>& a, int k);
long double percentile(std::vector<long double>& a, long double p);
long double quartile(std::vector<long double>& a, int q);
// Both count the values below x rather than sort them, and leave a alone.
long double percentRank(const std::vector<long double>& a, int digits, long double x);
// Position of x among the sorted values: order != 0 counts from the smallest
// (1 based), order 0 from the largest; duplicates take their first position.
int rankOf(const std::vector<long double>& a, int order, long double x);
long double trimmedMean(std::vector<long double>& a, long double p);
// counts[j] is the number of data values up to bins[j] not taken by an earlier
// bin (bins in the given order); the last entry counts the rest.
void frequency(const std::vector<long double>& data, const std::vector<long double>& bins,
               std::vector<long double>& counts);
// The sum of the probabilities p of the values x within lower ... upper;
// EIntOverflow when all the probabilities do not sum to 1 within 1E-10.
long double rangeProbability(const std::vector<long double>& x, const std::vector<long double>& p,
                             long double lower, long double upper);
void sortAscending(std::vector<long double>& a);

#pragma once
#include <cstddef>
#include <vector>

// Sorts extended values ascending. The order-statistics kernels sort a whole
// range on every call (a column of LARGE or PERCENTILE cells sorts it once
// per cell), so values that are all doubles, as sheet values are, go through
// a radix sort of their bit patterns: a few linear passes instead of n log n
// comparisons. Other values take a comparison sort. Equal values keep no
// particular order (-0 may come before or after +0).
void sortValuesAscending(std::vector<long double>& values);

// The values that sortValuesAscending would leave at places k - 1 and k
// (0 < k < size), found by selection: the same values, a zero with the same
// sign, in linear time for the arrays the radix sort takes. values may be
// reordered.
struct TSortedPair {
  long double lower, upper;
};
TSortedPair sortedPairAt(std::vector<long double>& values, std::size_t k);

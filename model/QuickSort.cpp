#include "model/QuickSort.h"

#include <algorithm>

void quickSortPairs(std::vector<TSortPair>& pairs) {
  quickSortBy(pairs.data(), pairs.size(), [](const TSortPair& pair) { return pair.key; });
}

void quickSortIntegers(std::vector<int32_t>& values) {
  quickSortBy(values.data(), values.size(), [](int32_t value) { return value; });
}

void quickSortFirstDoubles(std::vector<double>& values, size_t count) {
  quickSortBy(values.data(), std::min(count, values.size()), [](double value) { return value; });
}

void quickSortDoubles(std::vector<double>& values) { quickSortFirstDoubles(values, values.size()); }

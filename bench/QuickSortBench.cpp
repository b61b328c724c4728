// Sorts 1,000,000 doubles and 1,000,000 (tag, key) pairs with the model's
// quicksort, random and in the orders that hurt an end-mean pivot, beside
// std::sort on the same data; each round sorts a fresh copy.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/QuickSort.h"

namespace {

const int count = benchSize(1000000, 10000);

template <class T>
TBenchTimes sortTimes(const std::vector<T>& input, const std::function<void(std::vector<T>&)>& sort) {
  std::vector<T> values;
  return timeRounds(9, [&] { values = input; }, [&] { sort(values); });
}

void report(const char* what, const TBenchTimes& quick, const TBenchTimes& standard) {
  std::printf("%-40s quickSort %s\n", what, microseconds(quick).c_str());
  std::printf("%-40s std::sort %s\n", "", microseconds(standard).c_str());
}

}  // namespace

int main() {
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> dates(30000.0, 50000.0);
  std::vector<double> doubles(count);
  for (double& value : doubles) value = dates(random);
  std::vector<double> rotated(count);
  for (int i = 0; i < count; ++i) rotated[i] = 30000.0 + (i + 1) % count;

  std::vector<TSortPair> pairs(count);
  for (int i = 0; i < count; ++i) pairs[i] = {i, static_cast<int32_t>(random())};
  std::vector<TSortPair> fewKeys = pairs;
  for (TSortPair& pair : fewKeys) pair.key %= 100;

  auto sortDoubles = [](std::vector<double>& v) { std::sort(v.begin(), v.end()); };
  auto sortPairs = [](std::vector<TSortPair>& v) {
    std::sort(v.begin(), v.end(), [](const TSortPair& a, const TSortPair& b) { return a.key < b.key; });
  };
  std::printf("%d values a sort\n", count);
  report("random doubles", sortTimes<double>(doubles, quickSortDoubles),
         sortTimes<double>(doubles, sortDoubles));
  report("doubles, sorted + smallest last", sortTimes<double>(rotated, quickSortDoubles),
         sortTimes<double>(rotated, sortDoubles));
  report("pairs, random 32-bit keys", sortTimes<TSortPair>(pairs, quickSortPairs),
         sortTimes<TSortPair>(pairs, sortPairs));
  report("pairs, 100 distinct keys", sortTimes<TSortPair>(fewKeys, quickSortPairs),
         sortTimes<TSortPair>(fewKeys, sortPairs));
  return 0;
}

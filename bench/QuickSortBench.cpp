// Sorts 1,000,000 doubles and 1,000,000 (tag, key) pairs with the model's
// quicksort, random and in the orders that hurt an end-mean pivot, beside
// std::sort on the same data. Best of five runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "model/QuickSort.h"

namespace {

constexpr int count = 1000000;
constexpr int runs = 5;

template <class T>
double bestSeconds(const std::vector<T>& input, const std::function<void(std::vector<T>&)>& sort) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    std::vector<T> values = input;
    auto start = std::chrono::steady_clock::now();
    sort(values);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void report(const char* what, double quick, double standard) {
  std::printf("%-40s quickSort %7.1f ms   std::sort %7.1f ms\n", what, quick * 1e3, standard * 1e3);
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
  report("1,000,000 random doubles", bestSeconds<double>(doubles, quickSortDoubles),
         bestSeconds<double>(doubles, sortDoubles));
  report("1,000,000 doubles, sorted + smallest last", bestSeconds<double>(rotated, quickSortDoubles),
         bestSeconds<double>(rotated, sortDoubles));
  report("1,000,000 pairs, random 32-bit keys", bestSeconds<TSortPair>(pairs, quickSortPairs),
         bestSeconds<TSortPair>(pairs, sortPairs));
  report("1,000,000 pairs, 100 distinct keys", bestSeconds<TSortPair>(fewKeys, quickSortPairs),
         bestSeconds<TSortPair>(fewKeys, sortPairs));
  return 0;
}

// FREQUENCY's counting: n values into m bins, as the routine gets them from
// a sheet (doubles widened), from 80,000 x 80,000 up to 4,000,000 x
// 4,000,000; bins in random order, and rising (every bin a candidate, the
// binary search at its deepest).
#include <cstdio>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/statistics/Statistics.h"
#include "platform/FloatingPoint.h"

namespace {

// A repeatable pseudo-random sequence in [0, 1).
struct TSequence {
  unsigned long long state = 88172645463325252ULL;
  double next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (state >> 11) * (1.0 / 9007199254740992.0);
  }
};

volatile long double sink;

}  // namespace

int main() {
  setExtendedPrecision();
  TSequence random;
  for (std::size_t size : {benchSize<std::size_t>(80'000, 2'000), benchSize<std::size_t>(1'000'000, 4'000),
                           benchSize<std::size_t>(4'000'000, 8'000)}) {
    std::vector<long double> data(size), bins(size), counts;
    for (auto& value : data) value = 1000 * random.next();
    for (auto& bound : bins) bound = 1000 * random.next();
    auto count = [&] {
      frequency(data, bins, counts);
      sink = counts.back();
    };
    const TBenchTimes shuffled = timeRounds(5, count);
    for (std::size_t j = 0; j < size; ++j) bins[j] = 1000.0 * j / size;
    const TBenchTimes rising = timeRounds(5, count);
    std::printf("FREQUENCY, %9zu values x %9zu bins:\n", size, size);
    std::printf("  random bins %s\n", microseconds(shuffled).c_str());
    std::printf("  rising bins %s\n", microseconds(rising).c_str());
  }
  return 0;
}

// formatFixed over 2 million numbers, as a sheet's number cells display them
// (2 decimals, thousands, trimmed zeros) and as they are edited (15 decimals,
// no thousands).
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/TextFormatting.h"
#include "platform/FloatingPoint.h"

namespace {

const int numberCount = benchSize(2'000'000, 20'000);

std::vector<double> sampleValues() {
  std::mt19937_64 generator(20240315);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> magnitude(-4, 9);
  std::vector<double> values(numberCount);
  for (double& value : values) value = mantissa(generator) * std::pow(10.0, magnitude(generator));
  return values;
}

void timeFormatting(const char* label, const std::vector<double>& values, int decimals, bool noThousands) {
  std::size_t characters = 0;
  const TBenchTimes times = timeRounds(7, [&] {
    characters = 0;
    for (double value : values) characters += formatFixed(decimals, noThousands, true, value, ",", ".").size();
  });
  std::printf("%-34s a number %s  (%zu characters)\n", label,
              microseconds(times.per(static_cast<double>(values.size()))).c_str(), characters);
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::vector<double> values = sampleValues();
  std::printf("formatFixed of %d numbers\n", numberCount);
  timeFormatting("display: 2 decimals, thousands", values, 2, false);
  timeFormatting("edit text: 15 decimals", values, 15, true);
  timeFormatting("rounded to hundreds: -2 decimals", values, -2, false);
  return 0;
}

// formatFixed over 10 million numbers, as a sheet's number cells display them
// (2 decimals, thousands, trimmed zeros) and as they are edited (15 decimals,
// no thousands).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "model/TextFormatting.h"
#include "platform/FloatingPoint.h"

namespace {

const int numberCount = benchSize(10'000'000, 100'000);

std::vector<double> sampleValues() {
  std::mt19937_64 generator(20240315);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> magnitude(-4, 9);
  std::vector<double> values(numberCount);
  for (double& value : values) value = mantissa(generator) * std::pow(10.0, magnitude(generator));
  return values;
}

void timeFormatting(const char* label, const std::vector<double>& values, int decimals, bool noThousands) {
  auto start = std::chrono::steady_clock::now();
  std::size_t characters = 0;
  for (double value : values) characters += formatFixed(decimals, noThousands, true, value, ",", ".").size();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-34s %8.3f s  %6.1f ns/number  (%zu characters)\n", label, seconds, seconds * 1e9 / values.size(),
              characters);
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

// Routine-level hot paths of the statistics built-ins: a column of 5,000
// MEDIAN, RANK and PERCENTRANK cells over one 5,000-value range (each call
// on its own copy, MEDIAN by selection, then by the sorting kernel), 1,000
// mixed inverse distributions, inverting a 300 x 300 matrix and a
// least-squares fit over 10,000 rows.
#include <cstdio>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/statistics/Distributions.h"
#include "functions/maths/Matrix.h"
#include "functions/statistics/Regression.h"
#include "functions/statistics/SpecialFunctions.h"
#include "functions/statistics/Statistics.h"
#include "platform/FloatingPoint.h"

namespace {

constexpr int rounds = 7;

void report(const char* what, const TBenchTimes& times, const char* remark = "") {
  std::printf("%-36s %s%s\n", what, microseconds(times).c_str(), remark);
}

// A repeatable pseudo-random sequence in [0, 1).
struct TSequence {
  unsigned long long state = 88172645463325252ULL;
  long double next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (state >> 11) * (1.0L / 9007199254740992.0L);
  }
};

volatile long double sink;

}  // namespace

int main() {
  setExtendedPrecision();
  TSequence random;
  constexpr int cells = 5000;
  std::vector<long double> range(cells);
  // Sheet ranges hold doubles.
  for (auto& value : range) value = static_cast<double>(50 + 100 * random.next());

  const TBenchTimes medianTime = timeRounds(rounds, [&] {
    for (int i = 0; i < cells; ++i) {
      std::vector<long double> copy = range;
      sink = medianBySelection(copy);
    }
  });
  const TBenchTimes sortedMedianTime = timeRounds(rounds, [&] {
    for (int i = 0; i < cells; ++i) {
      std::vector<long double> copy = range;
      sink = median(copy);
    }
  });
  const TBenchTimes rankTime = timeRounds(rounds, [&] {
    for (int i = 0; i < cells; ++i) {
      std::vector<long double> copy = range;
      sink = rankOf(copy, 1, range[i]);
    }
  });
  const TBenchTimes percentRankTime = timeRounds(rounds, [&] {
    for (int i = 0; i < cells; ++i) {
      std::vector<long double> copy = range;
      sink = percentRank(copy, 3, range[i]);
    }
  });
  report("5,000 MEDIAN over 5,000 values:", medianTime);
  report("  the same by sorting:", sortedMedianTime);
  report("5,000 RANK over 5,000 values:", rankTime);
  report("5,000 PERCENTRANK over 5,000 values:", percentRankTime);

  const long double eps = static_cast<long double>(1e-10);
  const int itmax = 10000;
  const TBenchTimes inverseTime = timeRounds(rounds, [&] {
    for (int i = 0; i < 1000; ++i) {
      long double p = 0.01L + 0.98L * random.next();
      switch (i % 8) {
        case 0: sink = normsInv(p); break;
        case 1: sink = normInv(p, 10, 2); break;
        case 2: sink = logInv(p, 1, 0.5L); break;
        case 3: sink = tInv(1 - p, 1 + i % 30, eps, itmax); break;
        case 4: sink = chiInv(p, 1 + i % 20, eps, itmax); break;
        case 5: sink = fInv(1 - p, 1 + i % 10, 5 + i % 25, eps, itmax); break;
        case 6: sink = gammaInv(p, 0.5L + i % 9, 2, eps, itmax); break;
        case 7: sink = betaInv(p, 0.5L + i % 5, 1.5L + i % 7, eps, itmax); break;
      }
    }
  });
  report("1,000 mixed inverse distributions:", inverseTime);

  constexpr int order = 300;
  TMatrix matrix(order, order);
  for (int r = 0; r < order; ++r)
    for (int c = 0; c < order; ++c) matrix(r, c) = random.next() - 0.5L + (r == c ? 4 : 0);
  bool inverted = true;
  const TBenchTimes inverseMatrixTime =
      timeRounds(rounds, [&] { inverted = invertMatrix(matrix, order) && inverted; });
  report("inverting a 300 x 300 matrix:", inverseMatrixTime, inverted ? "" : " (singular) FAILED");

  constexpr int rows = 10000;
  std::vector<long double> x(rows), y(rows), x3(rows * 3);
  for (int i = 0; i < rows; ++i) {
    x[i] = i;
    y[i] = 3 + 0.5L * i + random.next();
    for (int j = 0; j < 3; ++j) x3[i * 3 + j] = random.next() * (j + 1);
  }
  std::vector<long double> result;
  report("least squares, 10,000 rows, 1 x:",
         timeRounds(rounds, [&] { linearRegression(x, y, 1, result, true, true, rows, 1, rows); }));
  report("least squares, 10,000 rows, 3 x:",
         timeRounds(rounds, [&] { linearRegression(x3, y, 3, result, true, true, rows, 1, rows); }));
  return inverted ? 0 : 1;
}

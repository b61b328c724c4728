// Signal-processing built-ins through formulas over ranges, timed as full
// recalculations of a sheet holding the data and one formula: FFTC of
// 65,536 values, MEM of order 50 on 5,000 values, a 4th-order LOPASS over
// 100,000 cells. Each figure once with the result in its cell only and once
// spilled over the neighbouring cells. Then the calls that stop just below
// the bound on quadratic work, to show what the bound allows.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/signal/SignalFunctions.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

using TClock = std::chrono::steady_clock;

double testValue(int t) { return std::sin(0.031 * t) + 0.5 * std::cos(0.17 * t) + 0.01 * (t % 7); }

// Median seconds of a full recalculation of a sheet with the values in
// column A and the formula in C1.
double recalculationSeconds(int values, const std::string& formula, bool spill, int runs) {
  TSheet sheet;
  sheet.expandVectorResults = spill;
  char text[32];
  for (int r = 1; r <= values; ++r) {
    std::snprintf(text, sizeof text, "%.15g", testValue(r));
    sheet.setCellContent(1, r, 0, text, 1);
  }
  sheet.setCellContent(3, 1, 0, formula, 1);
  std::vector<double> times;
  for (int run = 0; run < benchRounds(runs); ++run) {
    sheet.markAllDirty();
    const auto start = TClock::now();
    sheet.recalculateAll(false);
    times.push_back(std::chrono::duration<double>(TClock::now() - start).count());
  }
  if (sheet.getCell(3, 1)->state != 0) std::printf("  (the formula failed: %s)\n", formula.c_str());
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void report(const char* what, int values, const std::string& formula, int runs) {
  const double single = recalculationSeconds(values, formula, false, runs);
  const double spilled = recalculationSeconds(values, formula, true, runs);
  std::printf("%-44s %9.2f ms  spilled %9.2f ms\n", what, single * 1e3, spilled * 1e3);
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();

  std::printf("Full recalculation, one formula over a range:\n");
  report("FFTC over 65,536 cells", 65536, "=FFTC(A1:A65536)", 9);
  report("MEM order 50 over 5,000 cells", 5000, "=MEM(A1:A5000,50)", 21);
  report("LOPASS 4th order over 100,000 cells", 100000, "=LOPASS(MAKE_LOPASS(4,0.05),1,A1:A100000)", 9);

  std::printf("Just below the work bound of %lld steps:\n", static_cast<long long>(maxSignalWork));
  report("CONVOLVE kernel 10,000 over 10,000 cells", 10000, "=CONVOLVE(HANNING(10000),1,A1:A10000)", 3);
  report("MEM order 9,999 over 10,000 cells", 10000, "=MEM(A1:A10000,9999)", 3);
  report("MEMF 1,000 coefficients at 100,000 points", 1000, "=MEMF(MEM(A1:A1000,999),1,0,0.000005,100000)", 3);
  return 0;
}

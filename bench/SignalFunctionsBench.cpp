// Signal-processing built-ins through formulas over ranges, timed as full
// recalculations of a sheet holding the data and one formula: FFTC of
// 65,536 values, MEM of order 50 on 5,000 values, a 4th-order LOPASS over
// 100,000 cells. Each figure once with the result in its cell only and once
// spilled over the neighbouring cells. Then the calls that stop just below
// the bound on quadratic work, to show what the bound allows.
#include <cmath>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "functions/signal/SignalFunctions.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

double testValue(int t) { return std::sin(0.031 * t) + 0.5 * std::cos(0.17 * t) + 0.01 * (t % 7); }

// The times of a full recalculation of a sheet with the values in column A
// and the formula in C1; false in answered when the formula failed.
TBenchTimes recalculation(int values, const std::string& formula, bool spill, int runs, bool& answered) {
  TSheet sheet;
  sheet.expandVectorResults = spill;
  char text[32];
  for (int r = 1; r <= values; ++r) {
    std::snprintf(text, sizeof text, "%.15g", testValue(r));
    sheet.setCellContent(1, r, 0, text, 1);
  }
  sheet.setCellContent(3, 1, 0, formula, 1);
  const TBenchTimes times = timeRounds(runs, [&] { sheet.markAllDirty(); }, [&] { sheet.recalculateAll(false); });
  if (sheet.getCell(3, 1)->state != 0) {
    std::printf("  (the formula failed: %s) FAILED\n", formula.c_str());
    answered = false;
  }
  return times;
}

void report(const char* what, int values, const std::string& formula, int runs, bool& answered) {
  const TBenchTimes single = recalculation(values, formula, false, runs, answered);
  const TBenchTimes spilled = recalculation(values, formula, true, runs, answered);
  std::printf("%-44s %s\n", what, microseconds(single).c_str());
  std::printf("%-44s spilled %s\n", "", microseconds(spilled).c_str());
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();

  bool answered = true;
  std::printf("Full recalculation, one formula over a range:\n");
  report("FFTC over 65,536 cells", 65536, "=FFTC(A1:A65536)", 9, answered);
  report("MEM order 50 over 5,000 cells", 5000, "=MEM(A1:A5000,50)", 21, answered);
  report("LOPASS 4th order over 100,000 cells", 100000, "=LOPASS(MAKE_LOPASS(4,0.05),1,A1:A100000)", 9, answered);

  std::printf("Just below the work bound of %lld steps:\n", static_cast<long long>(maxSignalWork));
  report("CONVOLVE kernel 10,000 over 10,000 cells", 10000, "=CONVOLVE(HANNING(10000),1,A1:A10000)", 5, answered);
  report("MEM order 9,999 over 10,000 cells", 10000, "=MEM(A1:A10000,9999)", 5, answered);
  report("MEMF 1,000 coefficients at 100,000 points", 1000, "=MEMF(MEM(A1:A1000,999),1,0,0.000005,100000)", 5,
         answered);
  return answered ? 0 : 1;
}

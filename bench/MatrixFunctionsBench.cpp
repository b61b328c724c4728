// The bound on matrix work, through formulas: each routine just below the
// bound (the longest a formula may block the window) and far beyond it (a
// refusal that must come at once, before any of the work).
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

void report(TSheet& sheet, const std::string& formula) {
  std::uint8_t state = 0;
  const std::string times =
      microseconds(timeRounds(3, [&] { state = sheet.parseAndEvaluate(formula, 1, 1, false); }));
  if (state == 0)
    std::printf("%-66s %s  answered\n", formula.c_str(), times.c_str());
  else
    std::printf("%-66s %s  error %d\n", formula.c_str(), times.c_str(), state);
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  TSheet sheet;
  // M1 alone, to tell the cost of building the argument from the routine's.
  report(sheet, "=ROWS(M1(843))");
  report(sheet, "=ROWS(M1(4096))");
  report(sheet, "=MDETERM(M1(843)*2)");
  report(sheet, "=MINVERSE(M1(584)*2)");
  report(sheet, "=MSOLVE(M1(842)*2,MAKEVECTOR(842))");
  report(sheet, "=MMULT(M1(584),M1(584))");
  // 20,000 observations of 98 variables (in one line, so singular: the
  // work is done before that shows): the normal equations dominate.
  report(sheet, "=LINEST(MAKEVECTOR(20000),MMULT(MAKEVECTOR(20000),TRANSPOSE(MAKEVECTOR(98))))");
  report(sheet, "=LINEST(MAKEVECTOR(20000),MMULT(MAKEVECTOR(20000),TRANSPOSE(MAKEVECTOR(200))))");
  report(sheet, "=MINVERSE(M1(4096))");
  report(sheet, "=MDETERM(M1(4096))");
  report(sheet, "=MMULT(M1(4096),M1(4096))");
  return 0;
}

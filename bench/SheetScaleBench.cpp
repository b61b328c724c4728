// Recalculation at scale, the figures that bench/compare-spreadsheets.sh
// sets beside other spreadsheets: rows of four formulas built from
// scratch (entering), one pass over a clean sheet, a pass with every
// formula dirty, a change at the head of the running sum, and the memory a
// formula cell takes.
//   SheetScaleBench.exe <formulas> <arithmetic|mixed>
// prints one line of name=value pairs.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

constexpr int lookupRows = 100;

std::size_t privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                          sizeof(counters));
  return counters.PagefileUsage;
}

// A formula text from its parts, "#" standing for the row and "@" for the
// row before it.
std::string formulaText(const char* pattern, int row) {
  std::string text;
  for (const char* c = pattern; *c; ++c) {
    if (*c == '#') {
      text += std::to_string(row);
    } else if (*c == '@') {
      text += std::to_string(row - 1);
    } else if (*c == '+' && c[1] == '9' && c[2] == '#') {
      text += std::to_string(row + 9);
      c += 2;
    } else {
      text += *c;
    }
  }
  return text;
}

// The texts of the same rows the comparison script builds in the other
// spreadsheets (with their own list separator, and MOD as their function),
// four a row.
std::vector<std::string> rowTexts(int rows, bool mixed) {
  static const char* const arithmetic[] = {"=A#*1.5+3", "=IF(B#>100,SQRT(B#),B#^2)", "=D@+C#", "=ROUND(D#/A#,4)"};
  static const char* const withFunctions[] = {"=VLOOKUP((A#*7) MOD 100+1,$F$1:$G$100,2)", "=SUM(A#:A+9#)",
                                              "=D@+B#", "=LEN(B#&\"x\")+C#"};
  const char* const* patterns = mixed ? withFunctions : arithmetic;
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(rows) * 4);
  for (int row = 1; row <= rows; ++row) {
    for (int column = 0; column < 4; ++column) {
      const char* pattern = row == 1 && column == 2 ? (mixed ? "=B1" : "=C1") : patterns[column];
      texts.push_back(formulaText(pattern, row));
    }
  }
  return texts;
}

}  // namespace

int main(int argc, char** argv) {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  int formulas = argc > 1 ? std::atoi(argv[1]) : 100000;
  bool mixed = argc > 2 && std::strcmp(argv[2], "mixed") == 0;
  int rows = formulas / 4;
  auto sheet = std::make_unique<TSheet>();
  sheet->setRowCount(rows + 20);
  sheet->setColCount(8);
  for (int row = 1; row <= rows + 10; ++row) sheet->setCellContent(1, row, 0, std::to_string(row % 97 + 1), 1);
  if (mixed) {
    for (int row = 1; row <= lookupRows; ++row) {
      sheet->setCellContent(6, row, 0, std::to_string(row), 1);
      sheet->setCellContent(7, row, 0, std::to_string(row * 3 % 11), 1);
    }
  }
  // Typed before the clock starts: entering times the sheet's work alone.
  const std::vector<std::string> texts = rowTexts(rows, mixed);
  std::size_t before = privateBytes();
  auto start = std::chrono::steady_clock::now();
  for (int row = 1; row <= rows; ++row) {
    for (int column = 0; column < 4; ++column) {
      sheet->setCellContent(column + 2, row, 0, texts[static_cast<std::size_t>(row - 1) * 4 + column], 1);
    }
  }
  double entering = secondsSince(start);
  std::size_t after = privateBytes();
  // The quickest of a few, as the comparison takes Gnumeric's
  // recalculation; the median beside it.
  const TBenchTimes onePass = timeRounds(5, [&] { sheet->recalculateAll(false); }).per(rows * 4);
  const TBenchTimes allDirty = timeRounds(5, [&] { sheet->markAllDirty(); }, [&] { sheet->recalculateAll(false); })
                                   .per(rows * 4);
  int head = 0;
  const TBenchTimes chain =
      timeRounds(9, [&] { sheet->setCellContent(1, 1, 0, std::to_string(++head % 5 + 2), 1); });
  std::printf("kestrova sheet=%s formulas=%d entering_ns=%.0f one_pass_ns=%.1f one_pass_median_ns=%.1f "
              "all_dirty_ns=%.1f all_dirty_median_ns=%.1f chain_s=%.6f chain_median_s=%.6f bytes_per_formula=%.0f "
              "last=%.10g\n",
              mixed ? "mixed" : "arithmetic", rows * 4, entering * 1e9 / (rows * 4), onePass.least * 1e9,
              onePass.median * 1e9, allDirty.least * 1e9, allDirty.median * 1e9, chain.least, chain.median,
              static_cast<double>(after - before) / (rows * 4), sheet->getCellNumber(5, rows));
  return 0;
}

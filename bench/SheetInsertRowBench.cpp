// Inserting a row at the top of a sheet of 100,000 rows of formulas: every
// formula moves down and is re-spelled, and the sheet is recalculated with
// fresh dependency links.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

const int rows = benchSize(100000, 2000);

}  // namespace

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  TSheet sheet;
  for (int row = 1; row <= rows; ++row) {
    std::string r = std::to_string(row);
    sheet.setCellContent(1, row, 0, std::to_string(row % 113), 1);
    sheet.setCellContent(2, row, 0, "=A" + r + "*2+$A$1", 1);
  }
  const TBenchTimes recalculation = timeRounds(5, [&] { sheet.recalculateAll(true); });
  sheet.currentCol = 1;
  sheet.currentRow = 1;
  sheet.selection = RECT{1, 1, 1, 1};
  std::vector<double> insertions, deletions;
  for (int round = 0; round < benchRounds(5); ++round) {
    auto start = std::chrono::steady_clock::now();
    sheet.insertRowsAtSelection();
    insertions.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    sheet.deleteSelectedRows();
    deletions.push_back(secondsSince(start));
  }
  sheet.autoRecalculate = false;
  bool inserted = false;
  const TBenchTimes insertionOnly = timeRounds(
      5,
      [&] {
        if (inserted) sheet.deleteSelectedRows();
      },
      [&] {
        sheet.insertRowsAtSelection();
        inserted = true;
      });
  std::printf("%d formulas: full recalculation %s\n", rows, microseconds(recalculation).c_str());
  std::printf("insert a row at the top, with recalculation: %s\n", microseconds(summarised(insertions)).c_str());
  std::printf("                         recalculation off:  %s\n", microseconds(insertionOnly).c_str());
  std::printf("delete it again, with recalculation: %s; B3 now reads %s\n",
              microseconds(summarised(deletions)).c_str(), std::string(sheet.getCell(2, 3)->formula()).c_str());
  return 0;
}

// Inserting a row at the top of a sheet of 100,000 rows of formulas: every
// formula moves down and is re-spelled, and the sheet is recalculated with
// fresh dependency links.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

using TClock = std::chrono::steady_clock;

double secondsSince(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

constexpr int rows = 100000;

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
  auto start = TClock::now();
  sheet.recalculateAll(true);
  double recalculation = secondsSince(start);
  sheet.currentCol = 1;
  sheet.currentRow = 1;
  sheet.selection = RECT{1, 1, 1, 1};
  start = TClock::now();
  sheet.insertRowsAtSelection();
  double insertion = secondsSince(start);
  start = TClock::now();
  sheet.deleteSelectedRows();
  double deletion = secondsSince(start);
  sheet.autoRecalculate = false;
  start = TClock::now();
  sheet.insertRowsAtSelection();
  double insertionOnly = secondsSince(start);
  std::printf("%d formulas: full recalculation %.3f s\n", rows, recalculation);
  std::printf("insert a row at the top: %.3f s (with recalculation), %.3f s (recalculation off)\n", insertion,
              insertionOnly);
  std::printf("delete it again: %.3f s (with recalculation); B3 now reads %s\n", deletion,
              std::string(sheet.getCell(2, 3)->formula()).c_str());
  return 0;
}

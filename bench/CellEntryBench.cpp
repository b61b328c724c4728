// Typing into cells, numbers and formulas side by side: a decimal number
// into number cells, the same number into cells whose kind its text decides,
// and a small formula, each into a fresh sheet of 10,000, 100,000 and
// 1,000,000 cells. A number should cost no more than a formula.
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

constexpr int columns = 10;
constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t kindByText = 255;

// The times a cell of entering text into cells columns B to K of a fresh
// sheet whose A1 holds 2; the sheets are made and freed off the clock.
TBenchTimes entering(int cells, const std::string& text, std::uint8_t typeCode) {
  const int rows = cells / columns;
  std::unique_ptr<TSheet> sheet;
  return timeRounds(
             5,
             [&] {
               sheet = std::make_unique<TSheet>();
               sheet->setRowCount(rows + 1);
               sheet->setColCount(columns + 1);
               sheet->setCellContent(1, 1, 0, "2", numberCell);
             },
             [&] {
               for (int row = 1; row <= rows; ++row) {
                 for (int column = 2; column <= columns + 1; ++column)
                   sheet->setCellContent(column, row, 0, text, typeCode);
               }
             })
      .per(static_cast<double>(rows) * columns);
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  for (int cells : {benchSize(10000, 1000), benchSize(100000, 2000), benchSize(1000000, 3000)}) {
    std::printf("%8d cells, a cell:\n", cells);
    std::printf("  1234.5678  %s\n", microseconds(entering(cells, "1234.5678", numberCell)).c_str());
    std::printf("  of no kind %s\n", microseconds(entering(cells, "1234.5678", kindByText)).c_str());
    std::printf("  =A1*1.5+3  %s\n", microseconds(entering(cells, "=A1*1.5+3", numberCell)).c_str());
  }
  return 0;
}

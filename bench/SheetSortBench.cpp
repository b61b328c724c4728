// Sorting 20,000 sheet rows by a text column: each row holds its name, a
// number and a formula that reads its own row, so every exchange re-spells
// formulas and the sort ends with a recalculation.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

const int rows = benchSize(20000, 1000);

std::string randomName(std::mt19937& random) {
  static const char* syllables[] = {"ka", "Ro", "mi", "tes", "Lo", "va", "nor", "Si", "el", "pa"};
  std::string name;
  for (int part = 0; part < 4; ++part) name += syllables[random() % 10];
  return name;
}

void fill(TSheet& sheet, bool withFormulas) {
  std::mt19937 random(42);
  for (int row = 1; row <= rows; ++row) {
    sheet.setCellContent(1, row, 0, randomName(random), 2);
    sheet.setCellContent(2, row, 0, std::to_string(row % 997), 1);
    if (withFormulas) sheet.setCellContent(3, row, 0, "=B" + std::to_string(row) + "*2", 1);
  }
}

// Each round sorts a freshly filled sheet three times, as before.
void run(bool withFormulas) {
  const int lastCol = withFormulas ? 3 : 2;
  std::vector<double> ascending, descending, byNumber;
  for (int round = 0; round < benchRounds(5); ++round) {
    TSheet sheet;
    fill(sheet, withFormulas);
    auto start = std::chrono::steady_clock::now();
    sheet.sortRange(true, true, 1, rows, 1, 1, lastCol);
    ascending.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    sheet.sortRange(false, true, 1, rows, 1, 1, lastCol);
    descending.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    sheet.sortRange(true, true, 1, rows, 2, 1, lastCol);
    byNumber.push_back(secondsSince(start));
  }
  std::printf("%d rows %s:\n", rows, withFormulas ? "with a formula each" : "of values only");
  std::printf("  by text            %s\n", microseconds(summarised(ascending)).c_str());
  std::printf("  by text descending %s\n", microseconds(summarised(descending)).c_str());
  std::printf("  by number          %s\n", microseconds(summarised(byNumber)).c_str());
}

}  // namespace

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  run(false);
  run(true);
  return 0;
}

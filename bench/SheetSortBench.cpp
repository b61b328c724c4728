// Sorting 20,000 sheet rows by a text column: each row holds its name, a
// number and a formula that reads its own row, so every exchange re-spells
// formulas and the sort ends with a recalculation.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

using TClock = std::chrono::steady_clock;

double secondsSince(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

constexpr int rows = 20000;

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

void run(bool withFormulas) {
  TSheet sheet;
  fill(sheet, withFormulas);
  int lastCol = withFormulas ? 3 : 2;
  auto start = TClock::now();
  sheet.sortRange(true, true, 1, rows, 1, 1, lastCol);
  double ascending = secondsSince(start);
  start = TClock::now();
  sheet.sortRange(false, true, 1, rows, 1, 1, lastCol);
  double descending = secondsSince(start);
  start = TClock::now();
  sheet.sortRange(true, true, 1, rows, 2, 1, lastCol);
  double byNumber = secondsSince(start);
  std::printf("%d rows %s: by text %.3f s, by text descending %.3f s, by number %.3f s\n", rows,
              withFormulas ? "with a formula each" : "of values only   ", ascending, descending, byNumber);
}

}  // namespace

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();
  run(false);
  run(true);
  return 0;
}

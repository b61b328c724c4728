// Lookup and table built-ins through formulas: 5,000 VLOOKUPs into a
// 5,000-row table (number keys and text keys, with the cost of reading the
// whole table into an array for comparison), SYNC of two 10,000-row dated
// tables (against the row-by-row scan it replaces), and MSORT of 10,000
// text keys.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

const int tableRows = benchSize(5000, 200);
const int lookupCount = benchSize(5000, 200);
const int syncRows = benchSize(10000, 300);
const int sortRows = benchSize(10000, 300);
constexpr int runs = 9;
constexpr int formulaColumn = 10;  // J
constexpr int looseColumn = 20;    // where loose formulas are evaluated
constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t stringCell = 2;

enum class TKeys { numbers, textsOfOneLength, textsOfSeveralLengths };

std::string keyText(int key, TKeys keys) {
  switch (keys) {
    case TKeys::numbers:
      return std::to_string(key);
    case TKeys::textsOfOneLength:
      return "Key" + std::to_string(100000 + key);
    default:
      return "Item" + std::to_string(key);
  }
}

// Keys 1..5000 in shuffled order in A, their values in B; 5,000 formulas in
// J, each with a random key of the table (so every search walks half the
// table on average).
TBenchTimes lookupTimes(TKeys keyKind, const std::string& formulaPattern) {
  const bool textKeys = keyKind != TKeys::numbers;
  std::mt19937 generator(20240611);
  TSheet sheet;
  std::vector<int> keys(tableRows);
  for (int i = 0; i < tableRows; ++i) keys[static_cast<std::size_t>(i)] = i + 1;
  std::shuffle(keys.begin(), keys.end(), generator);
  for (int row = 1; row <= tableRows; ++row) {
    const int key = keys[static_cast<std::size_t>(row) - 1];
    sheet.setCellContent(1, row, 0, keyText(key, keyKind), textKeys ? stringCell : numberCell);
    sheet.setCellContent(2, row, 0, std::to_string(key * 2), numberCell);
  }
  std::uniform_int_distribution<int> anyKey(1, tableRows);
  for (int row = 1; row <= lookupCount; ++row) {
    std::string key = keyText(anyKey(generator), keyKind);
    if (textKeys) key = "\"" + key + "\"";
    std::string formula = formulaPattern;
    formula.replace(formula.find('#'), 1, key);
    sheet.setCellContent(formulaColumn, row, 0, formula, numberCell);
  }
  return timeRounds(runs, [&] { sheet.recalculateAll(false); });
}

// Two tables of (date, value) rows on consecutive days, the second starting
// half-way through the first: 5,000 dates in common.
void fillDatedTables(TSheet& sheet) {
  constexpr int firstDay = 36526;  // 1 January 2000
  for (int row = 1; row <= syncRows; ++row) {
    sheet.setCellContent(1, row, 0, std::to_string(firstDay + row), numberCell);
    sheet.setCellContent(2, row, 0, std::to_string(row), numberCell);
    sheet.setCellContent(4, row, 0, std::to_string(firstDay + syncRows / 2 + row), numberCell);
    sheet.setCellContent(5, row, 0, std::to_string(-row), numberCell);
  }
}

// The pairing done by scanning the first table from the top for every row
// of the second, for comparison.
TBenchTimes scanPairingTimes(TSheet& sheet) {
  TArray first, second;
  sheet.rangeToArray(1, 1, 2, syncRows, first);
  sheet.rangeToArray(4, 1, 5, syncRows, second);
  int matched = 0;
  const TBenchTimes times = timeRounds(3, [&] {
    std::vector<bool> taken(syncRows, false);
    matched = 0;
    for (int j = 0; j < syncRows; ++j) {
      for (int i = 0; i < syncRows; ++i) {
        if (taken[static_cast<std::size_t>(i)]) continue;
        TValueRecord a = first.at(i, 0);
        TValueRecord b = second.at(j, 0);
        int order = 1;
        if (sheet.compareValues(a, b, order, looseColumn, 1, false, false) && order == 0) {
          taken[static_cast<std::size_t>(i)] = true;
          ++matched;
          break;
        }
      }
    }
  });
  if (matched != syncRows / 2) std::printf("scan paired %d rows\n", matched);
  return times;
}

// False in answered when the formula does not give what it should.
TBenchTimes looseTimes(TSheet& sheet, const std::string& formula, int expected, bool& answered) {
  const std::uint8_t code = sheet.parseAndEvaluate(formula, looseColumn, 1, false);
  TValueRecord value = sheet.resultValue;
  if (code != 0 || !sheet.convertValue(value, valueString) || value.string != std::to_string(expected)) {
    std::printf("%s gave %s (code %d), not %d: FAILED\n", formula.c_str(), value.string.c_str(), code, expected);
    answered = false;
  }
  return timeRounds(runs, [&] { sheet.parseAndEvaluate(formula, looseColumn, 1, false); });
}

}  // namespace

void line(const char* label, const TBenchTimes& times) {
  std::printf("  %-34s %s\n", label, microseconds(times).c_str());
}

int main() {
  localeSettings() = defaultLocaleSettings();
  setExtendedPrecision();

  std::printf("%d VLOOKUPs into a %d-row table, one full recalculation:\n", lookupCount, tableRows);
  const char* exact = "=VLOOKUP(#,$A$1:$B$5000,2,0)";
  line("number keys, exact:", lookupTimes(TKeys::numbers, exact));
  line("number keys, approximate:", lookupTimes(TKeys::numbers, "=VLOOKUP(#,$A$1:$B$5000,2)"));
  line("texts of one length, exact:", lookupTimes(TKeys::textsOfOneLength, exact));
  line("texts of several lengths, exact:", lookupTimes(TKeys::textsOfSeveralLengths, exact));
  line("MATCH, number keys:", lookupTimes(TKeys::numbers, "=MATCH(#,$A$1:$A$5000,0)"));
  line("for comparison, INDEX of the whole table (read into an array by each formula):",
       lookupTimes(TKeys::numbers, "=ROWS(INDEX($A$1:$B$5000,0,0))+0*#"));

  TSheet datedSheet;
  fillDatedTables(datedSheet);
  bool answered = true;
  const std::string dated = "A1:B" + std::to_string(syncRows) + ",D1:E" + std::to_string(syncRows);
  std::printf("SYNC of two %d-row dated tables, %d dates in common:\n", syncRows, syncRows / 2);
  line("keep all:", looseTimes(datedSheet, "=ROWS(SYNC(" + dated + "))", syncRows * 3 / 2, answered));
  line("common dates only:", looseTimes(datedSheet, "=ROWS(SYNC(" + dated + ",0))", syncRows / 2, answered));
  line("for comparison, the pairing by a scan from the top:", scanPairingTimes(datedSheet));

  TSheet sortSheet;
  std::mt19937 generator(7);
  std::uniform_int_distribution<int> letter('A', 'z');
  for (int row = 1; row <= sortRows; ++row) {
    std::string key;
    for (int k = 0; k < 8; ++k) key += static_cast<char>(letter(generator));
    sortSheet.setCellContent(1, row, 0, key, stringCell);
    sortSheet.setCellContent(2, row, 0, std::to_string(row), numberCell);
  }
  std::printf("MSORT of %d rows by 8-character text keys:\n", sortRows);
  const std::string sorted = "A1:B" + std::to_string(sortRows);
  line("ascending:", looseTimes(sortSheet, "=ROWS(MSORT(" + sorted + "))", sortRows, answered));
  line("descending:", looseTimes(sortSheet, "=ROWS(MSORT(" + sorted + ",0))", sortRows, answered));
  return answered ? 0 : 1;
}

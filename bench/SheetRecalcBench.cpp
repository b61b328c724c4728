// Recalculation of large sheets: a long chain changed at its head, full
// recalculations of 100,000 arithmetic formulas and of 100,000 formulas
// calling functions, 100 sums over a 100,000 row range, and the dependency
// lists on their own (cycle test over a Fibonacci column, adding and
// removing 100,000 links, rectangles read by many formulas), and the memory
// of references far down the sheet.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <psapi.h>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

using TClock = std::chrono::steady_clock;

double secondsSince(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

std::string row(int n) { return std::to_string(n); }

void chainChange() {
  constexpr int rows = 50000;
  TSheet sheet;
  sheet.setCellContent(1, 1, 0, "0", 1);
  for (int r = 2; r <= rows; ++r) sheet.setCellContent(1, r, 0, "=A" + row(r - 1) + "+1", 1);
  auto start = TClock::now();
  sheet.setCellContent(1, 1, 0, "1", 1);
  double seconds = secondsSince(start);
  std::printf("chain of %d rows, head changed:        %8.3f s  (last = %.0f)\n", rows, seconds,
              sheet.getCellNumber(1, rows));
}

// Times the three full recalculations of a sheet whose rows hold the four
// formulas that makeRow writes (column A holds a constant).
template <class MakeRow>
void fullPasses(const char* title, MakeRow makeRow) {
  constexpr int rows = 25000;
  TSheet sheet;
  for (int r = 1; r <= rows; ++r) {
    sheet.setCellContent(1, r, 0, std::to_string(r % 97 + 0.5), 1);
    makeRow(sheet, r);
  }
  int formulas = rows * 4;
  auto start = TClock::now();
  sheet.recalculateAll(false);
  double again = secondsSince(start);
  start = TClock::now();
  sheet.markAllDirty();
  sheet.recalculateAll(false);
  double keep = secondsSince(start);
  start = TClock::now();
  sheet.recalculateAll(true);
  double rebuild = secondsSince(start);
  std::printf("%d %-16s one pass:      %8.3f s  %6.0f ns/formula\n", formulas, title, again, again * 1e9 / formulas);
  std::printf("%d %-16s all dirty:     %8.3f s  %6.0f ns/formula\n", formulas, title, keep, keep * 1e9 / formulas);
  std::printf("%d %-16s links rebuilt: %8.3f s  %6.0f ns/formula  (last = %.6g)\n", formulas, title, rebuild,
              rebuild * 1e9 / formulas, sheet.getCellNumber(5, rows));
}

void mixedArithmetic() {
  fullPasses("mixed arithmetic", [](TSheet& sheet, int r) {
    sheet.setCellContent(2, r, 0, "=A" + row(r) + "*2+1", 1);
    sheet.setCellContent(3, r, 0, "=(B" + row(r) + "-A" + row(r) + ")/3", 1);
    sheet.setCellContent(4, r, 0, "=C" + row(r) + "^2-B" + row(r) + "*0.5", 1);
    std::string above = r > 1 ? std::string("E").append(row(r - 1)) : std::string("A1");
    sheet.setCellContent(5, r, 0, "=(D" + row(r) + ">A" + row(r) + ")+D" + row(r) + " MOD 7-" + above + "%", 1);
  });
}

void mixedFunctions() {
  fullPasses("with functions", [](TSheet& sheet, int r) {
    sheet.setCellContent(2, r, 0, "=ROUND(A" + row(r) + "*1.07,2)", 1);
    sheet.setCellContent(3, r, 0, "=IF(B" + row(r) + ">50,B" + row(r) + "-A" + row(r) + ",SQRT(B" + row(r) + "))", 1);
    sheet.setCellContent(4, r, 0, "=SUM(A" + row(r) + ":C" + row(r) + ")/3", 1);
    std::string above = r > 1 ? std::string("E").append(row(r - 1)) : std::string("A1");
    sheet.setCellContent(5, r, 0, "=ABS(D" + row(r) + "-" + above + ")", 1);
  });
}

void rangeReaders() {
  constexpr int rows = 100000;
  constexpr int readers = 100;
  TSheet sheet;
  for (int r = 1; r <= rows; ++r) sheet.setCellContent(1, r, 0, row(r), 1);
  for (int r = 1; r <= readers; ++r) sheet.setCellContent(2, r, 0, "=SUM(A1:A" + row(rows) + ")", 1);
  auto start = TClock::now();
  sheet.recalculateAll(true);
  double rebuild = secondsSince(start);
  start = TClock::now();
  sheet.recalculateAll(false);
  double keep = secondsSince(start);
  std::printf("%d SUMs of %d rows, links rebuilt:    %7.3f s  (sum = %.0f)\n", readers, rows, rebuild,
              sheet.getCellNumber(2, readers));
  std::printf("%d SUMs of %d rows, links kept:       %7.3f s\n", readers, rows, keep);
}

void dependencyLists() {
  TDependents links;
  for (int r = 2; r < 40; ++r) {
    links.addDependent({0, r}, {0, r - 1});
    links.addDependent({0, r}, {0, r - 2});
  }
  auto start = TClock::now();
  bool reachable = false;
  constexpr int tests = 10000;
  for (int i = 0; i < tests; ++i) reachable ^= links.isReachable({0, 0}, {0, 39});
  std::printf("cycle test over a 40-row Fibonacci column: %6.2f us each (%d)\n",
              secondsSince(start) * 1e6 / tests, reachable);
  constexpr int count = 100000;
  TDependents many;
  start = TClock::now();
  for (int r = 0; r < count; ++r) many.addDependent({1, r}, {0, r});
  double adding = secondsSince(start);
  start = TClock::now();
  for (int r = 0; r < count; ++r) many.removeFromAll({1, r});
  std::printf("%d links added: %.3f s, removed: %.3f s\n", count, adding, secondsSince(start));
}

std::size_t privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PagefileUsage;
}

// Many formulas reading rectangles of a column: sliding windows of a few
// sizes, and running sums from the top. Links recorded and their memory
// (every set kept until all are measured, so that each takes fresh memory),
// every place's dependents gathered (a change reaching each in turn), all
// removed.
void rangeLinks() {
  constexpr int rows = 20000;
  struct TCase {
    const char* title;
    int width;
    bool fromTop;
    std::unique_ptr<TDependents> links;
    double adding = 0;
    std::size_t bytes = 0;
  };
  std::vector<TCase> cases;
  for (int width : {8, 16, 32, 64, 128, 256}) cases.push_back({"windows of", width, false, nullptr});
  cases.push_back({"running sums", 1, true, nullptr});
  for (TCase& test : cases) {
    const std::size_t before = privateBytes();
    auto start = TClock::now();
    test.links = std::make_unique<TDependents>();
    for (int r = 0; r < rows; ++r) {
      test.links->addDependentRange({1, r}, {0, test.fromTop ? 0 : r}, {0, r + test.width - 1});
    }
    test.adding = secondsSince(start);
    test.bytes = privateBytes() - before;
  }
  std::vector<TCellCoord> dependents;
  for (TCase& test : cases) {
    auto start = TClock::now();
    std::size_t found = 0;
    for (int r = 0; r < rows; ++r) {
      dependents.clear();
      test.links->appendDependents({0, r}, dependents);
      found += dependents.size();
    }
    const double gathering = secondsSince(start);
    start = TClock::now();
    for (int r = 0; r < rows; ++r) test.links->removeFromAll({1, r});
    std::printf("%d %s %4d rows: added %7.1f ns, %6.0f B, dependents %7.1f ns/place (%zu), removed %7.1f ns\n", rows,
                test.title, test.width, test.adding * 1e9 / rows, static_cast<double>(test.bytes) / rows,
                gathering * 1e9 / rows, found, secondsSince(start) * 1e9 / rows);
  }
}

// References far down the sheet: what they cost in memory and time.
void farReferences() {
  for (const char* formula : {"=A16000000", "=A100000000", "=OFFSET(A1,99999999,0)", "=COUNTIF(A1:A3,\"ZZZZ9999999\")"}) {
    const std::size_t before = privateBytes();
    auto start = TClock::now();
    TSheet sheet;
    sheet.setCellContent(2, 1, 0, formula, 1);
    sheet.recalculateAll(true);
    std::printf("%-32s %8.3f ms, %6.2f MB, %zu pages\n", formula, secondsSince(start) * 1e3,
                static_cast<double>(privateBytes() - before) / (1 << 20), sheet.dependents.pageCount());
  }
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  rangeLinks();
  chainChange();
  mixedArithmetic();
  mixedFunctions();
  rangeReaders();
  dependencyLists();
  farReferences();
  return 0;
}

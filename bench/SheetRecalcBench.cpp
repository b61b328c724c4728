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

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

std::string row(int n) { return std::to_string(n); }

void chainChange() {
  constexpr int rows = 50000;
  TSheet sheet;
  sheet.setCellContent(1, 1, 0, "0", 1);
  for (int r = 2; r <= rows; ++r) sheet.setCellContent(1, r, 0, "=A" + row(r - 1) + "+1", 1);
  int head = 0;
  const TBenchTimes times = timeRounds(9, [&] { sheet.setCellContent(1, 1, 0, std::to_string(++head % 2), 1); });
  std::printf("chain of %d rows, head changed:        %s  (last = %.0f)\n", rows, microseconds(times).c_str(),
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
  const int formulas = rows * 4;
  const TBenchTimes again = timeRounds(7, [&] { sheet.recalculateAll(false); });
  const TBenchTimes keep = timeRounds(7, [&] {
    sheet.markAllDirty();
    sheet.recalculateAll(false);
  });
  const TBenchTimes rebuild = timeRounds(7, [&] { sheet.recalculateAll(true); });
  std::printf("%d %-16s one pass:      a formula %s\n", formulas, title, microseconds(again.per(formulas)).c_str());
  std::printf("%d %-16s all dirty:     a formula %s\n", formulas, title, microseconds(keep.per(formulas)).c_str());
  std::printf("%d %-16s links rebuilt: a formula %s  (last = %.6g)\n", formulas, title,
              microseconds(rebuild.per(formulas)).c_str(), sheet.getCellNumber(5, rows));
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
  const TBenchTimes rebuild = timeRounds(7, [&] { sheet.recalculateAll(true); });
  const TBenchTimes keep = timeRounds(7, [&] { sheet.recalculateAll(false); });
  std::printf("%d SUMs of %d rows, links rebuilt:    %s  (sum = %.0f)\n", readers, rows, microseconds(rebuild).c_str(),
              sheet.getCellNumber(2, readers));
  std::printf("%d SUMs of %d rows, links kept:       %s\n", readers, rows, microseconds(keep).c_str());
}

void dependencyLists() {
  TDependents links;
  for (int r = 2; r < 40; ++r) {
    links.addDependent({0, r}, {0, r - 1});
    links.addDependent({0, r}, {0, r - 2});
  }
  bool reachable = false;
  const TBenchTimes cycleTest = timeCalls(9, [&] { reachable ^= links.isReachable({0, 0}, {0, 39}); });
  std::printf("cycle test over a 40-row Fibonacci column: each %s (%d)\n", microseconds(cycleTest).c_str(),
              reachable);
  constexpr int count = 100000;
  TDependents many;
  std::vector<double> adding, removing;
  for (int round = 0; round < benchRounds(7); ++round) {
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < count; ++r) many.addDependent({1, r}, {0, r});
    adding.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    for (int r = 0; r < count; ++r) many.removeFromAll({1, r});
    removing.push_back(secondsSince(start));
  }
  std::printf("%d links added:   %s\n", count, microseconds(summarised(adding)).c_str());
  std::printf("%d links removed: %s\n", count, microseconds(summarised(removing)).c_str());
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
// removed; then the recording and the removal timed in rounds of their own.
void rangeLinks() {
  constexpr int rows = 20000;
  struct TCase {
    const char* title;
    int width;
    bool fromTop;
    std::unique_ptr<TDependents> links;
    std::size_t bytes = 0;
  };
  std::vector<TCase> cases;
  for (int width : {8, 16, 32, 64, 128, 256}) cases.push_back({"windows of", width, false, nullptr});
  cases.push_back({"running sums", 1, true, nullptr});
  const auto addAll = [](const TCase& test, TDependents& links) {
    for (int r = 0; r < rows; ++r) links.addDependentRange({1, r}, {0, test.fromTop ? 0 : r}, {0, r + test.width - 1});
  };
  for (TCase& test : cases) {
    const std::size_t before = privateBytes();
    test.links = std::make_unique<TDependents>();
    addAll(test, *test.links);
    test.bytes = privateBytes() - before;
  }
  std::vector<TCellCoord> dependents;
  for (TCase& test : cases) {
    std::size_t found = 0;
    const TBenchTimes gathering = timeRounds(5, [&] {
      found = 0;
      for (int r = 0; r < rows; ++r) {
        dependents.clear();
        test.links->appendDependents({0, r}, dependents);
        found += dependents.size();
      }
    });
    std::unique_ptr<TDependents> links;
    const TBenchTimes adding = timeRounds(
        5, [&] { links = std::make_unique<TDependents>(); }, [&] { addAll(test, *links); });
    const TBenchTimes removing = timeRounds(
        5,
        [&] {
          links = std::make_unique<TDependents>();
          addAll(test, *links);
        },
        [&] {
          for (int r = 0; r < rows; ++r) links->removeFromAll({1, r});
        });
    test.links.reset();
    std::printf("%d %s %4d rows, a place: %6.0f B; added %s; dependents (%zu) %s; removed %s\n", rows, test.title,
                test.width, static_cast<double>(test.bytes) / rows, microseconds(adding.per(rows)).c_str(), found,
                microseconds(gathering.per(rows)).c_str(), microseconds(removing.per(rows)).c_str());
  }
}

// References far down the sheet: what they cost in memory and time.
void farReferences() {
  for (const char* formula : {"=A16000000", "=A100000000", "=OFFSET(A1,99999999,0)", "=COUNTIF(A1:A3,\"ZZZZ9999999\")"}) {
    std::unique_ptr<TSheet> sheet;
    const auto make = [&] {
      sheet = std::make_unique<TSheet>();
      sheet->setCellContent(2, 1, 0, formula, 1);
      sheet->recalculateAll(true);
    };
    const std::size_t before = privateBytes();
    make();
    const double megabytes = static_cast<double>(privateBytes() - before) / (1 << 20);
    const std::size_t pages = sheet->dependents.pageCount();
    const TBenchTimes times = timeRounds(5, [&] { sheet.reset(); }, make);
    std::printf("%-32s %s, %6.2f MB, %zu pages\n", formula, microseconds(times).c_str(), megabytes, pages);
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

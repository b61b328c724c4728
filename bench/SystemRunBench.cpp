// A trading system replayed day by day: 5 assets of daily quotes, 5 rules
// firing every day, 20 symbols of which 20 form a ten-level diamond over X,
// with the soft transactions kept in memory only (at three lengths, to show
// how the time grows) and written to disk (at two, each run a second time
// over the files of the first). Then the optimiser on 20 assets:
// seconds per simulation, the share of the shuffled runs' re-sampling, and
// how soon Stop is answered. Last, the check that tells whether a kept run
// is still up to date, as every start makes it for every portfolio.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/Forex.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"
#include "systems/Optimizer.h"
#include "systems/System.h"
#include "systems/SystemRunRecord.h"

namespace {

// Ten levels of two symbols each, every level reading both of the level
// before: followed path by path, level ten would be reached 2^10 times a day.
void addDiamond(TSystem& system) {
  TSymbolEntryTable& symbols = system.Symbols();
  for (int level = 0; level < 10; ++level) {
    for (char side : {'L', 'R'}) {
      symbols.addSymbol(-1, -1, symbols.count());
      TSystemSymbol& symbol = *symbols.symbol(symbols.count() - 1);
      symbol.setSymbol(std::string(1, side) + std::to_string(level));
      char definition[48];
      if (level == 0) {
        std::snprintf(definition, sizeof definition, "X/1000");
      } else {
        std::snprintf(definition, sizeof definition, "(L%d+R%d)/2", level - 1, level - 1);
      }
      symbol.setDefinition(definition);
    }
  }
}

void addRules(TSystem& system, int assets) {
  for (int a = 1; a <= assets; ++a) {
    TRuleEntryTable& rules = system.Rules();
    char symbol[16];
    std::snprintf(symbol, sizeof symbol, "A%d", a);
    rules.addRule(-1, -1, symbol, rules.count());
    TSystemRule& rule = *rules.rule(rules.count() - 1);
    rule.setEnabled(true);
    rule.setCondition("L9>0");
    rule.setUnits("1");
    rule.setPrincipal("R9");
    rule.setFees("1");
    rule.setFlag("\"B\"");
  }
}

void timeRun(int years, bool save, const TBenchFolder& folder) {
  const std::string portfolioFolder = writePortfolioFixture(folder.path, {5, years * 252, 0});
  TPortfolioTable table;
  table.open(portfolioFolder, false, {}, nullptr, true, false);
  table.setCurrentIndex(0);
  TSystem system;
  addDiamond(system);
  addRules(system, 5);
  system.setSaveSoftTransactions(save);
  system.setToDate(80000);
  system.setFromDate(1);
  TStopwatch watch;
  const int result = system.run(nullptr, &table, {});
  const double seconds = watch.seconds();
  std::printf("%2d years, soft transactions %-9s: %7.2f s  (%d transactions, result %d)%s\n", years,
              save ? "saved" : "in memory", seconds, table.current()->transactionCount(), result,
              save && years == 10 ? " (goal: at most 10 s)" : "");
  if (!save) return;
  // Run again, as after an edit: the files of the first run go first.
  TStopwatch again;
  const int rerun = system.run(nullptr, &table, {});
  std::printf("%2d years, the same run again      : %7.2f s  (%d transactions, result %d) (goal: at most the first)\n",
              years, again.seconds(), table.current()->transactionCount(), rerun);
}

void timeOptimiser(int steps, int runs) {
  TBenchFolder folder;
  const std::string portfolioFolder = writePortfolioFixture(folder.path, {20, 2520, 0});
  forceFolders(folder.path + "TEMP");
  TPortfolioTable table;
  table.open(portfolioFolder, false, {}, nullptr, true, false);
  table.setCurrentIndex(0);
  table.current()->loadForexTables({}, nullptr);
  TSystem system;
  addDiamond(system);
  addRules(system, 5);
  for (const char* name : {"P1", "P2"}) {
    system.Params().addParameter(-1, -1, system.Params().count());
    TSystemParameter& parameter = *system.Params().parameter(system.Params().count() - 1);
    parameter.setSymbol(name);
    parameter.setHigh(1);
    parameter.setSteps(steps);
  }
  system.Rules().rule(0)->setCondition("L9>P1");
  system.Rules().rule(1)->setCondition("L9>P2");
  TOptimizeSettings settings;
  settings.objective = "P1+P2";
  bool found = false;
  table.current()->firstQuoteDate(settings.fromDate, found);
  double last = 0;
  table.current()->lastQuoteDate(last, found);
  settings.toDate = last;
  settings.shuffle = runs > 1;
  settings.runs = runs;
  settings.temporaryRoot = folder.path + "TEMP\\";
  TOptimizer optimizer;
  TStopwatch watch;
  const int result = optimizer.optimize(table, system, nullptr, settings);
  const double seconds = watch.seconds();
  std::printf("optimiser, 20 assets x 2520 days, %dx%d grid, %d run(s): %7.2f s, %.3f s per simulation, "
              "align/restore %.1f %% (result %d)\n",
              steps, steps, runs, seconds, seconds / static_cast<double>(optimizer.simulations()),
              100 * optimizer.alignSeconds() / seconds, result);

  // Stop pressed half a second into the search: how long until it ends.
  std::chrono::steady_clock::time_point stopped;
  bool stop = false;
  const auto start = std::chrono::steady_clock::now();
  optimizer.keepRunning = [&] {
    if (!stop && secondsSince(start) > 0.5) {
      stop = true;
      stopped = std::chrono::steady_clock::now();
    }
    return !stop;
  };
  optimizer.optimize(table, system, nullptr, settings);
  std::printf("optimiser: Stop answered after %.3f s\n", secondsSince(stopped));
}

// What a file costs on this disk now, made anew and written again: the
// first saved run makes every file, a run again writes over the files of
// the one before. A disk that skips the places of files deleted moments
// ago (ext4 without a journal) makes new files slowly for a while after
// many were deleted, and the first run's figure is to be read against it.
void timeDisk(const TBenchFolder& folder) {
  constexpr int files = 500;
  const std::string text = "[Transaction]\r\nNumber=1\r\nSoft=1\r\n";
  auto writeAll = [&](DWORD disposition) {
    TStopwatch watch;
    for (int i = 0; i < files; ++i) {
      const std::string name = folder.path + std::to_string(i) + ".INI";
      HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return -1.0;
      DWORD written = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      CloseHandle(file);
    }
    return watch.seconds() / files;
  };
  const double made = writeAll(CREATE_NEW);
  const double rewritten = writeAll(TRUNCATE_EXISTING);
  std::printf("disk now: a new file %.2f ms, a file written again %.2f ms\n", made * 1e3, rewritten * 1e3);
}

void timeUpToDateCheck(int assets, int days) {
  TBenchFolder folder;
  const std::string portfolioFolder = writePortfolioFixture(folder.path, {assets, days, 20});
  TPortfolioTable table;
  table.open(portfolioFolder, false, {}, nullptr, true, false);
  table.setCurrentIndex(0);
  table.current()->loadForexTables({}, nullptr);
  TSystem system;
  addDiamond(system);
  addRules(system, 5);
  const std::string systemFile = portfolioFolder + "System.INI";
  {
    TPortableIniFile ini(systemFile);
    system.saveToIni(ini, {'.', ','});
    ini.updateFile();
  }
  constexpr int checks = 10;
  std::uint64_t state = 0;
  TStopwatch watch;
  for (int i = 0; i < checks; ++i) state = systemRunState(systemFile, "macros", table);
  std::printf("up-to-date check, %d assets x %d days, %d currency tables: %.1f ms (%llx)\n", assets, days,
              forexTables().tableCount(), 1e3 * watch.seconds() / checks, static_cast<unsigned long long>(state));
}

}  // namespace

// "check" times the up-to-date check alone.
int main(int argc, char** argv) {
  setExtendedPrecision();
  if (argc > 1 && std::string(argv[1]) == "check") {
    timeUpToDateCheck(20, 2520);
    timeUpToDateCheck(100, 5040);
    return 0;
  }
  std::printf("Trading-system run, 5 assets, 5 rules firing daily, 20 symbols in a ten-level diamond\n");
  // The folders stay to the end: thousands of files just deleted make ext4
  // slow to make new ones, which would be charged to the next run.
  TBenchFolder folders[6];
  timeDisk(folders[5]);
  const int years[5] = {2, 5, 10, 5, 10};
  for (int i = 0; i < benchSize(5, 1); ++i) timeRun(years[i], i >= 3, folders[i]);
  timeOptimiser(3, 1);
  timeOptimiser(2, 5);
  timeUpToDateCheck(20, 2520);
  timeUpToDateCheck(100, 5040);
  return 0;
}

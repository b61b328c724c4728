// A trading system replayed day by day: 5 assets of daily quotes, 5 rules
// firing every day, 20 symbols of which 20 form a ten-level diamond over X,
// with the soft transactions kept in memory only (at three lengths, to show
// how the time grows) and written to disk (at two, each run a second time
// over the files of the first; at ten years the run again is set against
// the run in memory). Then the optimiser on 20 assets:
// seconds per simulation, the share of the shuffled runs' re-sampling, and
// how soon Stop is answered. Last, the check that tells whether a kept run
// is still up to date, as every start makes it for every portfolio.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <map>
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

struct TRunTimes {
  bool ran = false;
  // In memory the rounds' times, saved those of the runs made again.
  TBenchTimes rounds;
};

// Kept in memory only, a run is timed in rounds; a saved run's first round
// makes the files and is timed alone, the rounds after write over them.
TRunTimes timeRun(int years, bool save, const TBenchFolder& folder) {
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
  int result = 0;
  const auto run = [&] {
    const int code = system.run(nullptr, &table, {});
    if (result == 0) result = code;
  };
  if (!save) {
    const TBenchTimes times = timeRounds(3, run);
    std::printf("%2d years, soft transactions in memory: %s  (%d transactions, result %d)%s\n", years,
                microseconds(times).c_str(), table.current()->transactionCount(), result, result == 0 ? "" : " FAILED");
    return {result == 0, times};
  }
  TStopwatch watch;
  run();
  const double first = watch.seconds();
  std::printf("%2d years, soft transactions saved    : %s us  (%d transactions, result %d)%s%s\n", years,
              microsecondsText(first).c_str(), table.current()->transactionCount(), result,
              years == 10 ? " (goal: at most 10,000,000 us)" : "", result == 0 ? "" : " FAILED");
  // Run again, as after an edit: the files of the run before go first.
  const TBenchTimes again = timeRounds(3, run);
  std::printf("%2d years, the same run again        : %s  (%d transactions, result %d) (goal: at most the first)%s\n",
              years, microseconds(again).c_str(), table.current()->transactionCount(), result,
              result == 0 ? "" : " FAILED");
  return {result == 0, again};
}

// What running again over the files costs beyond the run itself: the least
// against the least, the median against the median.
void printRerunRatio(int years, const TBenchTimes& inMemory, const TBenchTimes& again) {
  if (inMemory.least <= 0 || inMemory.median <= 0) return;
  std::printf("%2d years, the same run again against in memory: x%.1f least, x%.1f median (goal: at most x4)\n", years,
              again.least / inMemory.least, again.median / inMemory.median);
}

// False when the optimiser failed. One search is long: each is made once.
bool timeOptimiser(int steps, int runs) {
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
  std::printf("optimiser, 20 assets x 2520 days, %dx%d grid, %d run(s): %s us, a simulation %s us, "
              "align/restore %.1f %% (result %d)%s\n",
              steps, steps, runs, microsecondsText(seconds).c_str(),
              microsecondsText(seconds / static_cast<double>(optimizer.simulations())).c_str(),
              100 * optimizer.alignSeconds() / seconds, result, result == 0 ? "" : " FAILED");

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
  std::printf("optimiser: Stop answered after %s us\n", microsecondsText(secondsSince(stopped)).c_str());
  return result == 0;
}

// What a file costs on this disk now, made anew and written again: the
// first saved run makes every file, a run again writes over the files of
// the one before. A disk that skips the places of files deleted moments
// ago (ext4 without a journal) makes new files slowly for a while after
// many were deleted, and the first run's figure is to be read against it.
void timeDisk(const TBenchFolder& folder) {
  constexpr int files = 500;
  const std::string text = "[Transaction]\r\nNumber=1\r\nSoft=1\r\n";
  bool written = true;
  int round = 0;
  // Each round makes files of new names, or writes over the first round's.
  auto writeAll = [&](DWORD disposition) {
    for (int i = 0; i < files; ++i) {
      const std::string name = folder.path + std::to_string(round) + "-" + std::to_string(i) + ".INI";
      HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        written = false;
        return;
      }
      DWORD bytes = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &bytes, nullptr);
      CloseHandle(file);
    }
    if (disposition == CREATE_NEW) ++round;
  };
  const TBenchTimes made = timeRounds(5, [&] { writeAll(CREATE_NEW); });
  round = 0;
  const TBenchTimes rewritten = timeRounds(5, [&] { writeAll(TRUNCATE_EXISTING); });
  std::printf("disk now: a new file %s, a file written again %s%s\n", microseconds(made.per(files)).c_str(),
              microseconds(rewritten.per(files)).c_str(), written ? "" : " (a file could not be written)");
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
  std::uint64_t state = 0;
  const TBenchTimes times = timeRounds(11, [&] { state = systemRunState(systemFile, "macros", table); });
  std::printf("up-to-date check, %d assets x %d days, %d currency tables: %s (%llx)\n", assets, days,
              forexTables().tableCount(), microseconds(times).c_str(), static_cast<unsigned long long>(state));
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
  bool ran = true;
  std::map<int, TBenchTimes> inMemory;
  for (int i = 0; i < benchSize(5, 1); ++i) {
    const bool save = i >= 3;
    const TRunTimes run = timeRun(years[i], save, folders[i]);
    ran = run.ran && ran;
    if (!save) inMemory[years[i]] = run.rounds;
    if (save && years[i] == 10) printRerunRatio(years[i], inMemory[years[i]], run.rounds);
  }
  ran = timeOptimiser(3, 1) && ran;
  ran = timeOptimiser(2, 5) && ran;
  timeUpToDateCheck(20, 2520);
  timeUpToDateCheck(100, 5040);
  return ran ? 0 : 1;
}

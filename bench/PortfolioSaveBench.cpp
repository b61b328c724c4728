// Saving a portfolio after one change (only the changed transaction may be
// written), and adding transactions one by one to an asset, each written to
// its own file, followed by a save; at two sizes to show how the time grows.
// Each addition looks up a few names that do not exist yet (the free file
// name, the new file before it is written); the time one such look-up takes
// in the full folder is printed beside, as the file system's share.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "platform/FloatingPoint.h"

namespace {

// False when a save failed. Each round changes the units of another
// transaction, off the clock, and saves.
bool timeSaveAfterOneChange(int assets) {
  TBenchFolder folder;
  const std::string folio = writePortfolioFixture(folder.path, {assets, 2500, 100});
  TPortfolioTable table;
  int result = table.open(folio, false, {}, nullptr, true, false);
  TPortfolio& portfolio = *table.items(0);
  const std::vector<int32_t> numbers = portfolio.TransactionNumbers();
  int round = 0;
  const TBenchTimes times = timeRounds(
      21,
      [&] {
        portfolio.findTransaction(numbers[(numbers.size() / 2 + round) % numbers.size()])->setUnits(12345 + round);
        ++round;
      },
      [&] {
        if (result == 0) result = table.saveAll();
      });
  std::printf("save %3d assets, %5d transactions after one change: %s  (result %d)%s\n", assets, assets * 100,
              microseconds(times).c_str(), result, result == 0 ? "" : " FAILED");
  return result == 0;
}

// False when an addition or a save failed. Each round adds to a fresh
// portfolio.
bool timeAddAndSave(int additions) {
  std::unique_ptr<TBenchFolder> folder;
  std::unique_ptr<TPortfolioTable> table;
  int result = 0;
  std::vector<double> adding, saving, lookingUp;
  for (int round = 0; round < benchRounds(3) && result == 0; ++round) {
    table.reset();
    folder = std::make_unique<TBenchFolder>();
    const std::string folio = writePortfolioFixture(folder->path, {4, 2500, 500});
    table = std::make_unique<TPortfolioTable>();
    result = table->open(folio, false, {}, nullptr, true, false);
    TPortfolio& portfolio = *table->items(0);
    TStopwatch added;
    for (int i = 0; i < additions && result == 0; ++i) {
      result = portfolio.addTransaction(1, 0, 40000 + i * 0.25, 1, 25.5, 1.95, "", "added", true);
    }
    adding.push_back(added.seconds());
    TStopwatch saved;
    if (result == 0) result = table->saveAll();
    saving.push_back(saved.seconds());
    constexpr int lookups = 200;
    TStopwatch looking;
    for (int i = 0; i < lookups; ++i) pathExists(portfolio.assets(1)->TransactionFolder() + "X" + std::to_string(i));
    lookingUp.push_back(looking.seconds() / lookups);
  }
  std::printf("add %5d transactions to one asset: %s (an addition %s)%s\n", additions,
              microseconds(summarised(adding)).c_str(), microseconds(summarised(adding).per(additions)).c_str(),
              result == 0 ? "" : " FAILED");
  std::printf("  then save %s  (result %d; a missing name in that folder takes %s to look up)\n",
              microseconds(summarised(saving)).c_str(), result, microseconds(summarised(lookingUp)).c_str());
  return result == 0;
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Saving portfolios\n");
  bool saved = true;
  for (int assets : {100, 200}) saved = timeSaveAfterOneChange(assets) && saved;
  for (int additions : {2500, 5000}) saved = timeAddAndSave(benchSize(additions, additions / 25)) && saved;
  return saved ? 0 : 1;
}

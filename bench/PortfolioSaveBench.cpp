// Saving a portfolio after one change (only the changed transaction may be
// written), and adding transactions one by one to an asset, each written to
// its own file, followed by a save; at two sizes to show how the time grows.
// Each addition looks up a few names that do not exist yet (the free file
// name, the new file before it is written); the time one such look-up takes
// in the full folder is printed beside, as the file system's share.
#include <cstdio>

#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "platform/FloatingPoint.h"

namespace {

void timeSaveAfterOneChange(int assets) {
  TBenchFolder folder;
  const std::string folio = writePortfolioFixture(folder.path, {assets, 2500, 100});
  TPortfolioTable table;
  int result = table.open(folio, false, {}, nullptr, true, false);
  TPortfolio& portfolio = *table.items(0);
  portfolio.findTransaction(assets * 50)->setUnits(12345);
  TStopwatch saving;
  if (result == 0) result = table.saveAll();
  const double seconds = saving.seconds();
  std::printf("save %3d assets, %5d transactions after one change: %7.3f s  (result %d)\n", assets, assets * 100,
              seconds, result);
}

void timeAddAndSave(int additions) {
  TBenchFolder folder;
  const std::string folio = writePortfolioFixture(folder.path, {4, 2500, 500});
  TPortfolioTable table;
  int result = table.open(folio, false, {}, nullptr, true, false);
  TPortfolio& portfolio = *table.items(0);
  TStopwatch adding;
  for (int i = 0; i < additions && result == 0; ++i) {
    result = portfolio.addTransaction(1, 0, 40000 + i * 0.25, 1, 25.5, 1.95, "", "added", true);
  }
  const double added = adding.seconds();
  TStopwatch saving;
  if (result == 0) result = table.saveAll();
  const double saved = saving.seconds();
  constexpr int lookups = 200;
  TStopwatch looking;
  for (int i = 0; i < lookups; ++i) pathExists(portfolio.assets(1)->TransactionFolder() + "X" + std::to_string(i));
  const double lookup = looking.seconds() * 1e6 / lookups;
  std::printf("add %5d transactions to one asset: %7.3f s (%6.1f us each), then save %6.3f s  (result %d; "
              "a missing name in that folder takes %.0f us to look up)\n",
              additions, added, added * 1e6 / additions, saved, result, lookup);
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Saving portfolios\n");
  timeSaveAfterOneChange(100);
  timeSaveAfterOneChange(200);
  timeAddAndSave(2500);
  timeAddAndSave(5000);
  return 0;
}
